// A modal message with an OK button; returns once the user has dismissed it.
#pragma once

void showModalMessage(const char* caption, const char* text);
