// Title rules: whatever a page calls itself, the label is at most 100 characters, holds
// no direction override and never splits a surrogate pair.
#include "fuzzinput.h"
#include "tabs/pagetext.h"

#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    const QString title = PageText::pageTitle(text, QStringLiteral("http://x.example/"));
    require(title.toUcs4().size() <= 100 || title == QLatin1String("http://x.example/"));
    require(title == PageText::withoutBidiControls(title));
    require(title.isEmpty() || !title.back().isHighSurrogate());
    const PageText::Label label = PageText::tabLabel(title);
    PageText::mainCaption(label.text);
    PageText::plainWindowTitle(label.text);
    // The first half as an address, the second as the engine's title: the address itself,
    // and any part of it, are never taken for a document's own title.
    const QString address = text.left(text.size() / 2);
    require(PageText::mayBeAddress(address, address));
    PageText::mayBeAddress(text.mid(text.size() / 2), address);
    return 0;
}
