#include "core/files/Cp932.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct Vector {
    const char16_t* text;
    QByteArray bytes;
};

class Cp932Vectors : public testing::TestWithParam<Vector> {};

TEST_P(Cp932Vectors, EncodeAndDecodeAgreeWithTheCodePage)
{
    const QString text = QString::fromUtf16(GetParam().text);
    EXPECT_EQ(cp932::encode(text), GetParam().bytes);
    EXPECT_EQ(cp932::decode(GetParam().bytes), text);
}

INSTANTIATE_TEST_SUITE_P(Characters, Cp932Vectors,
                         testing::Values(Vector{u"―", QByteArray("\x81\x5c")}, Vector{u"Ｍ", QByteArray("\x82\x6c")},
                                         Vector{u"被曝Data", QByteArray("\x94\xed\x94\x98"
                                                                        "Data")},
                                         Vector{u"髙", QByteArray("\xfb\xfc")}, Vector{u"～", QByteArray("\x81\x60")},
                                         Vector{u"①", QByteArray("\x87\x40")}, Vector{u"a\\b~", QByteArray("a\\b~")},
                                         Vector{u"\x1a\x1c\x7f", QByteArray("\x1a\x1c\x7f")}));

TEST(Cp932, RefusesCharactersTheCodePageCannotHold)
{
    for (const QString& text : {QStringLiteral("𠮷野"), QStringLiteral("a😀"), QStringLiteral("ﬀ")})
        EXPECT_FALSE(cp932::encode(text)) << text.toStdString();
    EXPECT_EQ(cp932::firstUnencodable(QStringLiteral("山田𠮷子")), QStringLiteral("𠮷"));
    EXPECT_EQ(cp932::firstUnencodable(QStringLiteral("山田")), QString());
    EXPECT_TRUE(
        messageOf(failureWithText(FailureKind::Unencodable, QStringLiteral("a😀"))).contains(QStringLiteral("😀")));
}

TEST(Cp932, RefusesBytesThatAreNotCodePage932)
{
    EXPECT_FALSE(cp932::decode(QByteArray("ab\x81")));       // lead byte cut off at the end of a line
    EXPECT_FALSE(cp932::decode(QByteArray("\x81\x20xy")));   // lead byte without a valid trail byte
    EXPECT_FALSE(cp932::decode(QByteArray("\xe6\x9d\x91"))); // UTF-8 "村"
}

// Where the code page 932 of Windows and that of glibc differ, the store keeps glibc's bytes on both
// builds: the nine characters Windows alone refuses, the five it alone accepts, and the lone byte 0x80.
TEST(Cp932, GivesTheSameBytesOnLinuxAndWindows)
{
    const std::pair<char16_t, QByteArray> mapped[] = {
        {u'\u00A2', "\x81\x91"}, {u'\u00A3', "\x81\x92"}, {u'\u00A5', "\x5C"},
        {u'\u00AC', "\x81\xCA"}, {u'\u2014', "\x81\x5C"}, {u'\u2016', "\x81\x61"},
        {u'\u203E', "\x7E"},     {u'\u2212', "\x81\x7C"}, {u'\u301C', "\x81\x60"}};
    for (const auto& [character, bytes] : mapped)
        EXPECT_EQ(cp932::encode(QStringLiteral("山") + QChar(character) + QStringLiteral("田")),
                  "\x8e\x52" + bytes + "\x93\x63")
            << int(character);
    for (const char16_t refused : {u'\u0080', u'\uF8F0', u'\uF8F1', u'\uF8F2', u'\uF8F3', u'\u00E9'})
        EXPECT_FALSE(cp932::encode(QStringLiteral("山") + QChar(refused))) << int(refused);
    EXPECT_FALSE(cp932::decode(QByteArray("\x8e\x52\x80")));
    const QString names = QStringLiteral("髙﨑①Ⅱ№㈱～－＼");
    EXPECT_EQ(cp932::decode(*cp932::encode(names)), names);
}

TEST(Cp932, CanonicalFormIsTheTextAsItReadsBack)
{
    EXPECT_EQ(cp932::canonical(QStringLiteral("〜")), QStringLiteral("～"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("−")), QStringLiteral("－"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("—")), QStringLiteral("―"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("山田　太郎")), QStringLiteral("山田　太郎"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("𠮷")), QStringLiteral("𠮷"));
}

} // namespace
