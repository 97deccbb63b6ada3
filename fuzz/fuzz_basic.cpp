// Feeds arbitrary bytes to the BASIC listing as a program in each form, and as a listing to the
// tokeniser. A listing never reads outside its data, whatever the bytes; and a listing that
// the tokeniser made a program of must come out of LIST the same when tokenised again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/basic/BasicLayout.h"
#include "exchange/basic/BasicListing.h"
#include "exchange/basic/BasicTokenizer.h"

using namespace tavik::basic;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The listing of the program the tokeniser makes of text; false when the text is refused, or
// (`built` false) when its program does not fit the form.
bool ListOfText(const std::string& text, BasicForm form, BasicListing& listing, bool& built) {
    std::vector<BasicLine> lines;
    std::vector<uint8_t> data;
    std::string error;
    built = false;
    if (!TokenizeListing(text, lines, error)) return false;
    built = BuildBasicFile(lines, form, false, data, error);
    if (built) listing = ListBasic(data, form);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 64 * 1024) return 0;
    const std::vector<uint8_t> bytes(data + 1, data + size);
    static const BasicForm kForms[] = {BasicForm::Program, BasicForm::Long, BasicForm::Merge};
    const BasicForm form = kForms[data[0] % 3];
    if (data[0] & 0x80) {
        const BasicListing listing = ListBasic(bytes, GuessForm(bytes));
        Check(listing.Complete() || !listing.problem.empty());
        return 0;
    }
    const BasicListing listing = ListBasic(bytes, form);
    Check(listing.Complete() || !listing.problem.empty());

    BasicListing first, second;
    bool built = false;
    if (!ListOfText(std::string(bytes.begin(), bytes.end()), form, first, built) || !built)
        return 0;
    Check(first.Complete());
    // LIST's text always reads back; two strings in quotes side by side become one, so the
    // second program may be a little smaller, and then too small for the long form.
    Check(ListOfText(first.text, form, second, built));
    if (built) Check(second.text == first.text);
    return 0;
}
