#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "tests/support/machine.h"

using settings::Catalogue;
using settings::WindowsVersion;
using testing_support::TestMachine;

namespace {

const uint32_t kXp = 0x0A280105;
const uint32_t k98 = 0xC0000A04;

struct CatalogueTest : ::testing::Test {
    void SetUp() override {
        m.load(testing_support::fixture("catalogue_groups.reg"));
        m.addIme("winpy.ime", "全拼");
        m.addIme("phon.ime", "注音");
    }
    Catalogue catalogue(uint32_t version, uint32_t lcid) {
        return Catalogue(registry, m.system, WindowsVersion(version), lcid);
    }
    TestMachine m;
    settings::Registry registry{m.registry};
};

// English first, then the own Chinese script, the other, Japanese, Korean and (not on 9x) the
// rest; never an entry of the user's list, an unusable input method or an English layout
// other than US.
TEST_F(CatalogueTest, AddableListOrderAndWhatItLeavesOut) {
    struct Case {
        uint32_t version, lcid;
        std::vector<std::string> userList, expected;
    } cases[] = {
        {kXp, 0x0804, {}, {"00000409", "00000804", "E0010804", "00000404", "E0010404", "00000411", "00000412", "00000401", "00000407"}},
        {kXp, 0x0409, {}, {"00000409", "00000804", "E0010804", "00000404", "E0010404", "00000411", "00000412", "00000401", "00000407"}},
        {kXp, 0x0404, {}, {"00000409", "00000404", "E0010404", "00000804", "E0010804", "00000411", "00000412", "00000401", "00000407"}},
        {k98, 0x0804, {}, {"00000409", "00000804", "E0010804", "00000404", "E0010404", "00000411", "00000412"}},
        {kXp, 0x0804, {"00000804", "E0010804"}, {"00000409", "00000404", "E0010404", "00000411", "00000412", "00000401", "00000407"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> klids;
        for (const auto& r : catalogue(c.version, c.lcid).addableRows(c.userList)) klids.push_back(r.klid);
        EXPECT_EQ(c.expected, klids) << std::hex << c.version << " " << c.lcid;
    }
}

}  // namespace
