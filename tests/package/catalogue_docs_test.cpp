// The shell completion, both manual pages and the README against the
// catalogue: every option, every choice of a list and every range they
// give is the one the program takes, so that a new option or choice cannot
// be left out of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/catalogue_texts.h"
#include "core/text.h"
#include "numbers/number_text.h"
#include "settings/catalogue.h"

namespace sweepwav {
namespace {

std::string ReadFrom(const std::string& folder, const std::string& relative) {
    std::ifstream in(folder + "/" + relative);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Read(const std::string& relative) { return ReadFrom(SWEEPWAV_SOURCE_DIR, relative); }

// What the build filled in from the catalogue.
std::string Built(const std::string& relative) { return ReadFrom(SWEEPWAV_BINARY_DIR, relative); }

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// A list's choices as the command line names them, apart by blanks.
std::string Choices(const Option& o) {
    const Entry& e = EntryOf(*o.entry);
    std::string choices;
    for (std::size_t i = 0; i < e.items.size(); ++i) {
        const std::string name = ItemNameAt(e, i);
        if (!name.starts_with(o.valuePrefix)) continue;
        if (!choices.empty()) choices += ' ';
        choices += name.substr(o.valuePrefix.size());
    }
    return choices;
}

// The completion's branches for the word before the cursor: each option
// its labels name ("--output-dir | -o)"), with the branch's text.
std::map<std::string, std::string> CompletionBranches(const std::string& script) {
    // The labels as one line each: a backslash at a line's end joins the next.
    std::string cases;
    for (std::size_t i = script.find("case $prev in"); i < script.find("esac"); ++i) {
        if (script[i] == '\\' && script[i + 1] == '\n') ++i;
        else cases += script[i];
    }
    std::map<std::string, std::string> branches;
    std::istringstream lines(cases);
    std::string line, label;
    while (std::getline(lines, line)) {
        const std::vector<std::string> words = Words(line);
        const bool isLabel = !words.empty() && words.front().starts_with("-") && words.back().ends_with(")");
        if (isLabel) label = line;
        if (line.find(";;") != std::string::npos) label.clear();
        if (isLabel || label.empty()) continue;
        for (std::string word : Words(label)) {
            if (word.ends_with(")")) word.pop_back();
            if (word != "|") branches[word] += line + "\n";
        }
    }
    return branches;
}

TEST(CatalogueInDocs, CompletionOffersEveryOptionAndEveryChoice) {
    const std::string script = Built("packaging/completion/sweepwav-cli");
    const std::string all = script.substr(script.find("if [[ $cur == -* ]]"));
    const std::string listed = all.substr(all.find('\'') + 1, all.find('\'', all.find('\'') + 1) - all.find('\'') - 1);
    std::set<std::string> expected;
    for (const Option& o : Options()) {
        expected.insert(std::string(o.name));
        if (o.shortName) expected.insert({'-', o.shortName});
    }
    const std::vector<std::string> words = Words(listed);
    EXPECT_EQ(std::set<std::string>(words.begin(), words.end()), expected);

    // A branch for every option that takes a value (and its short name),
    // and for a list its choices.
    const auto branches = CompletionBranches(script);
    std::set<std::string> takingValues;
    for (const Option& o : Options()) {
        if (o.valueName.empty()) continue;
        takingValues.insert(std::string(o.name));
        if (o.shortName) takingValues.insert({'-', o.shortName});
        if (!o.entry || EntryOf(*o.entry).kind != EntryKind::List || !branches.contains(std::string(o.name))) continue;
        std::string offered = "compgen -W '";
        offered.append(Choices(o)).append("'");
        EXPECT_NE(branches.at(std::string(o.name)).find(offered), std::string::npos) << o.name;
    }
    std::set<std::string> branched;
    for (const auto& [name, body] : branches) branched.insert(name);
    EXPECT_EQ(branched, takingValues);
}

// A manual page as text, without scdoc's marks for bold and underline.
std::string PageText(std::string text) {
    std::erase_if(text, [](char c) { return c == '*' || c == '_'; });
    return text;
}

// The paragraph of an option in the command line's page: from the heading
// that names it ("--start-freq HZ", "-o, --output-dir DIR", "--lead-in-ms
// MS, --tail-ms MS") to the next blank line.
std::string OptionParagraph(const std::string& text, const Option& o) {
    const auto named = [&](const std::string& heading) {
        for (std::string_view item : SplitAt(heading, ", ")) {
            if (item.substr(0, item.find(' ')) == o.name) return true;
        }
        return false;
    };
    std::istringstream lines(text);
    std::string line, paragraph;
    while (std::getline(lines, line)) {
        if (paragraph.empty() && line.starts_with("-") && named(line)) paragraph = line;
        else if (!paragraph.empty() && line.empty()) break;
        else if (!paragraph.empty()) paragraph += "\n" + line;
    }
    return paragraph;
}

// Whether a text gives every choice of a list, in its order and close
// together ("32000, 44100 (the default), 48000, 96000 or 192000"), each
// apart from letters and digits; or its first "to" its last ("1 to 8").
bool GivesChoices(const std::string& text, const std::vector<std::string>& choices) {
    if (text.find(choices.front() + " to " + choices.back()) != std::string::npos) return true;
    const auto alnum = [&](std::size_t i) { return i < text.size() && std::isalnum(static_cast<unsigned char>(text[i])); };
    const auto next = [&](const std::string& c, std::size_t from) {
        std::size_t at = text.find(c, from);
        while (at != std::string::npos && ((at > 0 && alnum(at - 1)) || alnum(at + c.size()))) at = text.find(c, at + 1);
        return at;
    };
    for (std::size_t first = next(choices.front(), 0); first != std::string::npos; first = next(choices.front(), first + 1)) {
        std::size_t at = first;
        for (std::size_t i = 1; i < choices.size() && at != std::string::npos; ++i) at = next(choices[i], at + 1);
        if (at != std::string::npos && at - first <= 200) return true;
    }
    return false;
}

TEST(CatalogueInDocs, TheCommandLinesPageGivesEveryOptionChoiceAndRange) {
    const std::string text = PageText(Built("packaging/man/sweepwav-cli.1.scd"));
    const std::string ranges = text.substr(text.find("The accepted ranges"));
    for (const Option& o : Options()) {
        if (o.help.empty()) continue;
        SCOPED_TRACE(std::string(o.name));
        const std::string paragraph = OptionParagraph(text, o);
        ASSERT_FALSE(paragraph.empty());
        if (!o.entry || o.action != OptionAction::Set) continue;
        const Entry& e = EntryOf(*o.entry);
        if (e.kind == EntryKind::List) {
            EXPECT_TRUE(GivesChoices(paragraph, Words(Choices(o)))) << paragraph;
        }
        const std::string row = ranges.substr(0, ranges.find("A sweep may fall")).find(std::string(o.name)) != std::string::npos
                                    ? ranges.substr(ranges.find(std::string(o.name)), 200)
                                    : paragraph;
        if (e.kind == EntryKind::OptionNumber || (e.kind == EntryKind::Number && !e.highIsFrequencyLimit)) {
            EXPECT_NE(row.find(NumberText(e.low) + " to " + NumberText(e.high)), std::string::npos) << row;
        }
        for (const ListItem& rate : EntryOf(Control::Samplerate).items) {
            if (e.highIsFrequencyLimit) {
                EXPECT_NE(row.find(NumberText(RangeHigh(e, rate.value))), std::string::npos);
            }
        }
    }
}

TEST(CatalogueInDocs, TheWindowsPageGivesEveryListChoiceAndRange) {
    std::string text;
    for (const std::string& word : Words(PageText(Read("packaging/man/sweepwav.1.scd")))) text += word + " ";
    for (const Entry& e : Entries()) {
        SCOPED_TRACE(std::string(e.caption));
        if (e.kind == EntryKind::List && (e.place == Place::Form || e.place == Place::FrequenciesDialog)) {
            std::vector<std::string> items;
            for (const ListItem& item : e.items) items.emplace_back(item.text);
            EXPECT_TRUE(GivesChoices(text, items));
        }
        if (e.kind == EntryKind::Number && !e.highIsFrequencyLimit) {
            EXPECT_NE(text.find(NumberText(e.low) + " to " + NumberText(e.high)), std::string::npos);
        }
    }
}

TEST(CatalogueInDocs, TheReadmeNamesEveryNameFromOtherTools) {
    const std::string readme = Read("README.md");
    for (const OptionAlias& alias : OptionAliases()) {
        std::string quoted = "`";
        quoted.append(alias.typed).append("`");
        EXPECT_NE(readme.find(quoted), std::string::npos) << alias.typed;
    }
}

// An option that the completion and the page do not know yet reaches both
// from the catalogue alone: a list with its choices, another value as the
// user's own, and on the page a paragraph after the option before it in its
// group.
TEST(CatalogueInDocs, AnOptionAddedToTheCatalogueReachesTheCompletionAndThePage) {
    std::vector<Option> options(Options().begin(), Options().end());
    const auto add = [&](std::string_view after, const Option& added) {
        const auto at = std::find_if(options.begin(), options.end(), [&](const Option& o) { return o.name == after; });
        options.insert(at + 1, added);
    };
    add("--gap-ms", {"--tilt-db", OptionAction::Set, Control::GapMs, "DB", "level change per tone ({range})",
                     OptionGroup::Signal});
    add("--bits", {"--word", OptionAction::Set, Control::Wordlength, "N", "the word_length", OptionGroup::File});
    const std::string script = CompletionScript(Read("packaging/completion/sweepwav-cli.in"), options);
    const auto branches = CompletionBranches(script);
    ASSERT_TRUE(branches.contains("--word") && branches.contains("--tilt-db"));
    EXPECT_NE(branches.at("--word").find("compgen -W '16 18 20 22 24'"), std::string::npos);
    EXPECT_NE(branches.at("--tilt-db").find("A number of the user's choosing"), std::string::npos);
    const std::string all = script.substr(script.find("if [[ $cur == -* ]]"));
    EXPECT_NE(all.find(" --tilt-db"), std::string::npos);

    const std::string page = ManualPage(Built("packaging/man/sweepwav-cli.1.scd.in"), options);
    for (const auto& [before, added] : {
             std::pair{"*--gap-ms* _MS_\n\tSilence between tones (0 to 60000).\n\n",
                       "*--tilt-db* _DB_\n\tLevel change per tone (0 to 60000).\n\n*--ramp-ms*"},
             std::pair{"are stored in 3 bytes, left-justified.\n\n", "*--word* _N_\n\tThe word\\_length.\n\n*--channels*"},
         }) {
        EXPECT_NE(page.find(std::string(before) + added), std::string::npos) << added;
    }
}

}  // namespace
}  // namespace sweepwav
