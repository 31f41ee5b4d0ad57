#include "store/Cp932.h"
#include "store/Messages.h"
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

TEST(Cp932, CanonicalFormIsTheTextAsItReadsBack)
{
    EXPECT_EQ(cp932::canonical(QStringLiteral("〜")), QStringLiteral("～"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("−")), QStringLiteral("－"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("—")), QStringLiteral("―"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("山田　太郎")), QStringLiteral("山田　太郎"));
    EXPECT_EQ(cp932::canonical(QStringLiteral("𠮷")), QStringLiteral("𠮷"));
}

} // namespace
