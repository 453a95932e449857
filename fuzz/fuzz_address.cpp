// Typed addresses: any text gives an address the engine can be handed.
#include "engine/typedaddress.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QUrl url = TypedAddress::toUrl(fuzzText(data, size));
    require(!url.isEmpty());
    return 0;
}
