// How a problem in the configuration file reaches the user: a modal message with the
// file's name as caption. Tests replace the sink to see the messages.
#pragma once

typedef void (*ConfigurationMessageSink)(const char* caption, const char* text);

void showConfigurationMessage(const char* text);

// Replaces the sink (null restores the platform's message box); returns the previous one.
ConfigurationMessageSink setConfigurationMessageSink(ConfigurationMessageSink sink);
