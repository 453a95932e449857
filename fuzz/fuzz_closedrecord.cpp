// Closed-page records: any stored text splits without harm, and a record the browser
// writes always gives back its own title and an address without blanks.
#include "fuzzinput.h"
#include "tabs/closedpages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    const ClosedPages::Entry e = ClosedPages::parse(text);
    require(e.title.size() <= text.size() && e.address.size() <= text.size());
    ClosedPages::listChoice(text);
    const QString record = ClosedPages::recordText(text, QStringLiteral("http://x.example/") + text);
    const ClosedPages::Entry back = ClosedPages::parse(record);
    require(back.title == text);
    require(!back.address.contains(QLatin1Char(' ')));
    return 0;
}
