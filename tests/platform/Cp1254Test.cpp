#include "platform/Cp1254.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(Cp1254, EveryByteSurvivesARoundTrip) {
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    const QString text = cp1254::toUnicode(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_TRUE(cp1254::canEncode(text));
    EXPECT_EQ(cp1254::fromUnicode(text), all);
}

TEST(Cp1254, TurkishLettersAndTheEuroHaveTheirBytes) {
    struct Case {
        char16_t unicode;
        unsigned char byte;
    };
    for (const Case &c :
         {Case{u'Ş', 0xDE}, Case{u'ş', 0xFE}, Case{u'İ', 0xDD}, Case{u'ı', 0xFD}, Case{u'Ğ', 0xD0},
          Case{u'ğ', 0xF0}, Case{u'Ü', 0xDC}, Case{u'ü', 0xFC}, Case{u'Ç', 0xC7}, Case{u'ç', 0xE7},
          Case{u'Ö', 0xD6}, Case{u'ö', 0xF6}, Case{u'€', 0x80}, Case{u'–', 0x96}}) {
        const QString ch(QChar(c.unicode));
        EXPECT_EQ(cp1254::fromUnicode(ch), QByteArray(1, static_cast<char>(c.byte))) << c.unicode;
        EXPECT_EQ(cp1254::toUnicode(QByteArray(1, static_cast<char>(c.byte))), ch);
    }
}

TEST(Cp1254, CharactersWithoutAByteAreFoundBeforeTheyAreLost) {
    // Latin-1 letters that Windows-1254 replaced with Turkish ones, and far-away scripts.
    for (const QString &text : {u"Ð"_s, u"ý"_s, u"þ"_s, u"中"_s, u"Δ"_s, u"😀"_s}) {
        EXPECT_FALSE(cp1254::canEncode(text)) << text.toStdString();
        EXPECT_EQ(cp1254::firstUnencodable(u"ab"_s + text), text.front());
    }
    EXPECT_EQ(cp1254::fromUnicode(u"a中b"_s), QByteArray("a?b"));
    EXPECT_TRUE(cp1254::firstUnencodable(u"Şişli"_s).isNull());
}
