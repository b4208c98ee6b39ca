#include "host/vst3/Vst3Plugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "host/ExitCode.h"
#include "host/platform/SharedLibrary.h"
#include "host/platform/Vst3Module.h"
#include "host/vst3/Utf16.h"

namespace {

constexpr const char* kAudioModuleCategory = "Audio Module Class";

template <class T>
void release(T**& object) {
    if (object) v3_cpp_obj_unref(object);
    object = nullptr;
}

}  // namespace

Vst3Plugin::Vst3Plugin(const std::string& bundle, const std::string& className) : bundlePath(bundle) {
    std::error_code error;
    const std::string binary = std::filesystem::is_directory(bundle, error) ? vst3BundleBinary(bundle) : bundle;
    std::string reason;
    library = openSharedLibrary(binary, reason);
    if (!library) throw HostError(ExitCode::PluginNotLoadable, "cannot load " + binary + ": " + reason);
    try {
        if (!enterVst3Module(library))
            throw HostError(ExitCode::PluginNotLoadable, "cannot load " + binary + ": its module entry refused");
        typedef v3_plugin_factory**(V3_API * FactoryEntry)();
        FactoryEntry entry = reinterpret_cast<FactoryEntry>(findLibrarySymbol(library, "GetPluginFactory"));
        if (!entry) throw HostError(ExitCode::NoEntryPoint, "not a VST3 plug-in: " + binary + " exports no GetPluginFactory");
        factory = entry();
        if (!factory) throw HostError(ExitCode::NoInstance, "not a VST3 plug-in: " + binary + " gave no factory");

        v3_factory_info factoryInfo = {};
        v3_cpp_obj(factory)->get_factory_info(factory, &factoryInfo);
        vendor = factoryInfo.vendor;
        v3_plugin_factory_2** factory2 = nullptr;
        v3_cpp_obj_query_interface(factory, v3_plugin_factory_2_iid, &factory2);

        const int32_t classes = v3_cpp_obj(factory)->num_classes(factory);
        int32_t chosen = -1;
        v3_class_info info = {};
        for (int32_t i = 0; i < classes && chosen < 0; ++i) {
            if (v3_cpp_obj(factory)->get_class_info(factory, i, &info) != V3_OK) continue;
            if (std::strncmp(info.category, kAudioModuleCategory, sizeof info.category) != 0) continue;
            if (className.empty() || className == info.name) chosen = i;
        }
        if (chosen >= 0 && factory2) {
            v3_class_info_2 info2 = {};
            if (v3_cpp_obj(factory2)->get_class_info_2(factory2, chosen, &info2) == V3_OK) {
                if (info2.vendor[0]) vendor = info2.vendor;
                version = info2.version;
                category = info2.sub_categories;
            }
        }
        release(factory2);
        if (chosen < 0)
            throw HostError(ExitCode::NoInstance, "no audio module" +
                                                      (className.empty() ? "" : " named '" + className + "'") +
                                                      " in " + bundle);
        name = info.name;

        void* instance = nullptr;
        if (v3_cpp_obj(factory)->create_instance(factory, info.class_id, v3_component_iid, &instance) != V3_OK ||
            !instance)
            throw HostError(ExitCode::NoInstance, "the VST3 module " + name + " in " + bundle + " made no instance");
        component = static_cast<v3_component**>(instance);
        if (v3_cpp_obj_initialize(component, application.context()) != V3_OK)
            throw HostError(ExitCode::NoInstance, "the VST3 module " + name + " refused to initialise");
        if (v3_cpp_obj_query_interface(component, v3_audio_processor_iid, &processor) != V3_OK || !processor)
            throw HostError(ExitCode::NoInstance, "the VST3 module " + name + " has no audio processor");

        if (v3_cpp_obj_query_interface(component, v3_edit_controller_iid, &controller) != V3_OK) {
            controller = nullptr;
            v3_tuid controllerId = {};
            if (v3_cpp_obj(component)->get_controller_class_id(component, controllerId) == V3_OK &&
                v3_cpp_obj(factory)->create_instance(factory, controllerId, v3_edit_controller_iid, &instance) ==
                    V3_OK &&
                instance) {
                controller = static_cast<v3_edit_controller**>(instance);
                separateController = true;
                if (v3_cpp_obj_initialize(controller, application.context()) != V3_OK) {
                    release(controller);
                    separateController = false;
                }
            }
        }
        if (controller) {
            const int32_t count = v3_cpp_obj(controller)->get_parameter_count(controller);
            for (int32_t i = 0; i < count; ++i) {
                v3_param_info parameterInfo = {};
                if (v3_cpp_obj(controller)->get_parameter_info(controller, i, &parameterInfo) != V3_OK) continue;
                if (parameterInfo.flags & V3_PARAM_IS_HIDDEN) continue;  // the plug-in's own bookkeeping
                if ((parameterInfo.flags & V3_PARAM_PROGRAM_CHANGE) && parameterInfo.step_count > 0 &&
                    programParameter < 0) {
                    programParameter = static_cast<int32>(parameters.size());
                    programSteps = parameterInfo.step_count;
                }
                parameters.push_back({parameterInfo.param_id, utf8FromUtf16(parameterInfo.title, 128),
                                      utf8FromUtf16(parameterInfo.units, 128)});
            }
        }
        inputChanges.reset(new Vst3ParameterChanges(parameters.size()));
        outputChanges.reset(new Vst3ParameterChanges(parameters.size()));
        setUpBuses(V3_INPUT);
        setUpBuses(V3_OUTPUT);
        configure(static_cast<float>(rate), maxBlock);
    } catch (...) {
        unload();
        throw;
    }
}

Vst3Plugin::~Vst3Plugin() {
    stop();
    unload();
}

void Vst3Plugin::unload() {
    if (controller && separateController) v3_cpp_obj_terminate(controller);
    release(controller);
    release(processor);
    if (component) v3_cpp_obj_terminate(component);
    release(component);
    release(factory);
    if (library) {
        exitVst3Module(library);
        closeSharedLibrary(library);
    }
    library = nullptr;
}

// Every audio bus takes part; the first, the main one, carries the file's channels and
// the others (side chains, extra outputs) get silence or are dropped.
void Vst3Plugin::setUpBuses(int32_t direction) {
    const int32_t count = v3_cpp_obj(component)->get_bus_count(component, V3_AUDIO, direction);
    for (int32_t index = 0; index < count; ++index) {
        v3_bus_info info = {};
        v3_cpp_obj(component)->get_bus_info(component, V3_AUDIO, direction, index, &info);
        v3_cpp_obj(component)->activate_bus(component, V3_AUDIO, direction, index, 1);
        Bus bus;
        if (index == 0) mainChannels[direction] = info.channel_count;
        else bus.scratch.assign(info.channel_count, std::vector<float>(65536));
        for (auto& channel : bus.scratch) bus.channels.push_back(channel.data());
        buses[direction].push_back(std::move(bus));
        v3_audio_bus_buffers buffers = {};
        buffers.num_channels = info.channel_count;
        busBuffers[direction].push_back(buffers);
    }
    for (std::size_t index = 1; index < buses[direction].size(); ++index)
        busBuffers[direction][index].channel_buffers_32 = buses[direction][index].channels.data();
}

std::string Vst3Plugin::identityLines() {
    std::ostringstream out;
    out << "  file:      " << bundlePath << "\n";
    out << "  vendor:    " << vendor << "\n";
    out << "  format:    VST3" << (category.empty() ? "" : ", " + category)
        << (version.empty() ? "" : ", version " + version) << "\n";
    out << "  channels:  " << inputCount() << " in, " << outputCount() << " out\n";
    out << "  latency:   " << latency() << " frames\n";
    return out.str();
}

int32 Vst3Plugin::latency() { return static_cast<int32>(v3_cpp_obj(processor)->get_latency_samples(processor)); }

std::string Vst3Plugin::parameterDisplay(int32 index) {
    if (!controller) return "";
    v3_str_128 text = {};
    const v3_param_id id = parameters[index].id;
    const double value = v3_cpp_obj(controller)->get_parameter_normalised(controller, id);
    if (v3_cpp_obj(controller)->get_parameter_string_for_value(controller, id, value, text) != V3_OK) return "";
    return utf8FromUtf16(text, 128);
}

float Vst3Plugin::parameter(int32 index) const {
    return static_cast<float>(v3_cpp_obj(controller)->get_parameter_normalised(controller, parameters[index].id));
}

void Vst3Plugin::setParameter(int32 index, float value) {
    value = std::clamp(value, 0.0f, 1.0f);  // the format carries nothing outside 0..1
    v3_cpp_obj(controller)->set_parameter_normalised(controller, parameters[index].id, value);
    pending.push({index, value});
}

int32 Vst3Plugin::currentProgram() {
    if (programParameter < 0) return -1;
    return static_cast<int32>(std::lround(parameter(programParameter) * programSteps));
}

void Vst3Plugin::setProgram(int32 index) {
    if (index >= 0 && index < programCount())
        setParameter(programParameter, static_cast<float>(index) / static_cast<float>(programSteps));
}

std::string Vst3Plugin::programName(int32 index) {
    if (index < 0 || index >= programCount()) return "";
    v3_str_128 text = {};
    const double value = static_cast<double>(index) / programSteps;
    if (v3_cpp_obj(controller)->get_parameter_string_for_value(controller, parameters[programParameter].id,
                                                               value, text) != V3_OK)
        return "";
    return utf8FromUtf16(text, 128);
}

void Vst3Plugin::configure(float sampleRate, int32 blockSize) {
    rate = sampleRate;
    maxBlock = blockSize;
    v3_process_setup setup = {V3_REALTIME, V3_SAMPLE_32, blockSize, sampleRate};
    v3_cpp_obj(processor)->setup_processing(processor, &setup);
}

void Vst3Plugin::start() {
    if (running) return;
    v3_cpp_obj(component)->set_active(component, 1);
    v3_cpp_obj(processor)->set_processing(processor, 1);
    running = true;
}

void Vst3Plugin::stop() {
    if (!running) return;
    v3_cpp_obj(processor)->set_processing(processor, 0);
    v3_cpp_obj(component)->set_active(component, 0);
    running = false;
}

void Vst3Plugin::process(float** inputs, float** outputs, int32 frames) {
    inputChanges->clear();
    outputChanges->clear();
    ParameterChange change;
    while (pending.pop(change)) inputChanges->add(parameters[change.index].id, 0, change.value);

    if (!busBuffers[V3_INPUT].empty()) busBuffers[V3_INPUT][0].channel_buffers_32 = inputs;
    if (!busBuffers[V3_OUTPUT].empty()) busBuffers[V3_OUTPUT][0].channel_buffers_32 = outputs;
    v3_process_data data = {};
    data.process_mode = V3_REALTIME;
    data.symbolic_sample_size = V3_SAMPLE_32;
    data.nframes = frames;
    data.num_input_buses = static_cast<int32_t>(busBuffers[V3_INPUT].size());
    data.num_output_buses = static_cast<int32_t>(busBuffers[V3_OUTPUT].size());
    data.inputs = busBuffers[V3_INPUT].data();
    data.outputs = busBuffers[V3_OUTPUT].data();
    data.input_params = inputChanges->object();
    data.output_params = outputChanges->object();
    v3_cpp_obj(processor)->process(processor, &data);
}
