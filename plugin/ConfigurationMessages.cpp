#include "plugin/ConfigurationMessages.h"

#include "plugin/Configuration.h"
#include "plugin/platform/MessageBox.h"

namespace {
ConfigurationMessageSink currentSink = nullptr;
}

void showConfigurationMessage(const char* text) {
    if (currentSink)
        currentSink(kConfigurationFileName, text);
    else
        showModalMessage(kConfigurationFileName, text);
}

ConfigurationMessageSink setConfigurationMessageSink(ConfigurationMessageSink sink) {
    ConfigurationMessageSink previous = currentSink;
    currentSink = sink;
    return previous;
}
