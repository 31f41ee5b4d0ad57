// Linked with every object of the core and Qt Core alone: that it links at all is the check.
int main()
{
    return 0;
}
