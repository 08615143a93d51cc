#include "ui/accesskeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vantrel::assignAccessKeys;
using vantrel::withAccessMark;

namespace {

// The access characters themselves, which reads better in failures than byte offsets.
std::string keysOf(const std::vector<std::string>& captions) {
    const std::vector<int> offsets = assignAccessKeys(captions);
    std::string keys;
    for (std::size_t i = 0; i < captions.size(); ++i)
        keys += offsets[i] < 0 ? '-' : captions[i][static_cast<std::size_t>(offsets[i])];
    return keys;
}

} // namespace

TEST(AccessKeys, MenuBarPassesOverUmlautAndTakenLetters) {
    // "Über": the two bytes of Ü are skipped, 'b' is the first free letter.
    const std::vector<std::string> bar = {"Datei", "Links",
                                          "\xC3\x9C"
                                          "ber"};
    EXPECT_EQ(assignAccessKeys(bar), (std::vector<int>{0, 0, 2}));
}

TEST(AccessKeys, SubmenusAreSeparateGroups) {
    EXPECT_EQ(keysOf({"Beenden"}), "B");
    EXPECT_EQ(keysOf({"www.orlisk.example"}), "w");
    EXPECT_EQ(keysOf({"7-Zip"}), "7");
}

TEST(AccessKeys, CollisionsAreCaseBlindAndTakeTheNextFreeCharacter) {
    EXPECT_EQ(keysOf({"Datei", "drucken", "DDD", "Daten"}), "Dr-a");
    EXPECT_EQ(keysOf({"a1", "A1", "1a"}), "a1-");
}

TEST(AccessKeys, CaptionWithoutLetterOrDigitGetsNone) {
    EXPECT_EQ(assignAccessKeys({"", "--- ...", "\xC3\x9C\xC3\x84", "&&"}),
              (std::vector<int>{-1, -1, -1, -1}));
}

TEST(AccessKeys, MarkGoesBeforeTheAccessCharacterAndLiteralAmpersandsAreDoubled) {
    EXPECT_EQ(withAccessMark("Datei", 0), "&Datei");
    EXPECT_EQ(withAccessMark("\xC3\x9C"
                             "ber",
                             2),
              "\xC3\x9C&ber");
    EXPECT_EQ(withAccessMark("Laden & Sichern", 0), "&Laden && Sichern");
    EXPECT_EQ(withAccessMark("& Co", 2), "&& &Co");
    EXPECT_EQ(withAccessMark("A&B", -1), "A&&B");
    EXPECT_EQ(withAccessMark("Ende", 3), "End&e");
}
