// The analyser's settings file as the settings library reads it: how deep
// its nested values may go.
#include "platform/settings_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AnalyserSettings, NulsOfStoredValuesAreCountedAsTheLibraryReadsThem) {
    // Each level of a nested value holds three: the count bounds the depth.
    const struct {
        const char* what;
        std::string text;
        int nuls;
    } cases[] = {
        {"a list in a list", "[Paths]\nx=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x1\\0\\0\\0\\x2\\0\\0\\0\\x5)\n", 12},
        {"every way to write one", "x=@Variant(\\x0\\x00\\000\\0000\\x10000\\200000)", 6},
        {"escapes that give another character, or none",
         "x=@Variant(\\x1\\x\\t\\a\\q\\\\0\\\"\\0010)", 0},
        {"another type", "x=@ByteArray(\\0\\0\\0)\ny=@Rect(0 0 1 1)", 0},
        {"before the value", "\\0\\0x=@Variant(\\0)", 1},
        {"in the lines after", "x=@Variant(\\0)\ny=\\0\\0\r\\0", 1},
        {"an escaped beginning", "x=\\x40Variant(\\0)\\100V\\x61riant(\\0)", 2},
        {"a quoted beginning", "x=\"@Var\"iant(\\0)", 1},
        {"a line that goes on after a backslash", "x=@Variant(\\0\\\n\\0\\\r\n\\0\\\n\r\\0)", 4},
        {"a line end in quotes", "x=\"@Variant(\n\\0\r\n\\0\"\n\\0", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sweepwav::NulsInStoredValues(c.text), c.nuls) << c.what;
    }
}

}  // namespace
