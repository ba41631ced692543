// Recipient lines as the messaging application's compose forms read them.
#include "messaging/Addresses.h"

#include <gtest/gtest.h>

using messaging::Address;
using messaging::AddressKind;
using messaging::ParseAddresses;

namespace {

// "name|address" per address found, or "refused: ENTRY".
std::vector<std::string> Read(std::u16string_view line, AddressKind kind)
{
    std::vector<Address> found;
    std::u16string bad;
    auto utf8 = [](const std::u16string& text) { return std::string(text.begin(), text.end()); };
    if (!ParseAddresses(line, kind, &found, &bad))
        return {"refused: " + utf8(bad)};
    std::vector<std::string> read;
    for (const Address& address : found)
        read.push_back(utf8(address.name) + "|" + utf8(address.address));
    return read;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(RecipientLines, NamesAndNumbersAreSplitAtSeparatorsOutsideQuotesAndBracketsAndBadEntriesAreNamed)
{
    // As the program builds them for a group, and as a user types them.
    EXPECT_EQ(Read(u"Cid <555 303>;Ann <555 101>;", AddressKind::Phone), (Lines{"Cid|555 303", "Ann|555 101"}));
    EXPECT_EQ(Read(u" +1 (555) 010-2030 , 5550188;; ", AddressKind::Phone), (Lines{"|+1 (555) 010-2030", "|5550188"}));
    EXPECT_EQ(Read(u"\"Smith; Ann\" <555 101>", AddressKind::Phone), (Lines{"Smith; Ann|555 101"}));
    EXPECT_EQ(Read(u"", AddressKind::Phone), Lines{});
    // A name without a number, an empty number, a plus inside, letters: each refused as written.
    EXPECT_EQ(Read(u"555 101; Bob", AddressKind::Phone), Lines{"refused: Bob"});
    EXPECT_EQ(Read(u"Ann <>", AddressKind::Phone), Lines{"refused: Ann <>"});
    EXPECT_EQ(Read(u"555+101", AddressKind::Phone), Lines{"refused: 555+101"});
    EXPECT_EQ(Read(u"call me", AddressKind::Phone), Lines{"refused: call me"});

    EXPECT_EQ(Read(u"\"Help, Desk\" <help@example.com>, bo@example.com", AddressKind::Mail),
              (Lines{"Help, Desk|help@example.com", "|bo@example.com"}));
    for (const char16_t* bad : {u"Ann", u"@example.com", u"ann@", u"ann@b@c", u"ann smith@example.com"})
        EXPECT_EQ(Read(bad, AddressKind::Mail).front().rfind("refused: ", 0), 0u) << Read(bad, AddressKind::Mail)[0];
}
