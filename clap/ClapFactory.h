// The plug-in factory Quorvane.clap's entry hands out.
#pragma once

#include "clap/plugin-factory.h"

const clap_plugin_factory_t* clapFactory();
