// libFuzzer entry: the registry-editor file parser. Whatever parses must
// come back unchanged through the writer: parse, write, parse again gives
// the same keys and values, and the second write the same bytes.
#include "FuzzSupport.h"
#include "platform/RegistryHive.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace platform::hive;
    const ParseResult first = parse(fuzzing::bytesOf(data, size));
    if (!first.tree)
        return 0;
    const QByteArray written = serialize(*first.tree);
    const ParseResult second = parse(written);
    if (!second.tree || !(*second.tree == *first.tree) || serialize(*second.tree) != written)
        std::abort();
    return 0;
}
