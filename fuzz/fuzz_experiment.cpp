// Arbitrary bytes as an experiment file. Besides not crashing, whatever the
// reader accepts must be written back into a file it accepts again.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "format/io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Kept across inputs, as a player keeps its model and its reader's scratch.
    static auto model = quorrel::make_model();
    static quorrel::LoadScratch scratch;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!quorrel::read_experiment(*model, bytes, scratch).ok) return 0;
    // The round trip reuses its model and the scratch too: allocating either
    // for every accepted input would take most of the fuzzer's time.
    static auto again = quorrel::make_model();
    if (!quorrel::read_experiment(*again, quorrel::write_experiment(*model), scratch).ok) std::abort();
    return 0;
}
