// The entry a CLAP host looks up in Quorvane.clap.
#include <cstring>

#include "clap/ClapFactory.h"
#include "clap/entry.h"

namespace {

bool entryInit(const char*) { return true; }
void entryDeinit() {}
const void* factory(const char* id) {
    return id && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? clapFactory() : nullptr;
}

}  // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry = {CLAP_VERSION_INIT, entryInit, entryDeinit, factory};
