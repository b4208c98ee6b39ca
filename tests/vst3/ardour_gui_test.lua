-- The session for ardour_gui, made by ardour7-lua (Ardour's library, headless, on the
-- "None (Dummy)" backend):
--   session DIR   a session "t" in DIR: a mono track "In" through Quorvane at its first
--                 program, the Cutoff automation in Touch, and the plug-in's window noted
--                 as open, so that Ardour's GUI shows it when it loads the session
local dir = arg[1] == "session" and arg[2] or error("usage: ardour7-lua ardour_gui_test.lua session DIR")
local kCutoff = 3

assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no dummy backend")
AudioEngine:set_sample_rate(48000)
assert(AudioEngine:start(false) == 0, "the engine did not start")
assert(create_session(dir, "t", 48000), "could not create the session")
local track = Session:new_audio_track(1, 2, nil, 1, "In", ARDOUR.PresentationInfo.max_order,
  ARDOUR.TrackMode.Normal, true, false):front()
local proc = ARDOUR.LuaAPI.new_plugin(Session, "Quorvane", ARDOUR.PluginType.VST3, "")
assert(not proc:isnil(), "Ardour does not know Quorvane: did the scanner run?")
assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "could not add Quorvane")
proc:to_automatable():automation_control(
  Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, kCutoff), false)
  :set_automation_state(ARDOUR.AutoState.Touch)
local window = string.format("P-%s-%s", track:to_stateful():id():to_s(), proc:to_stateful():id():to_s())
Session:save_state("", false, false, false)
close_session()

-- The GUI keeps its windows' state in the session's "UI" node, named after the route
-- and the processor; a plug-in window noted visible there opens with the session.
local path = dir .. "/t.ardour"
local f = assert(io.open(path))
local xml = f:read("a")
f:close()
assert(not xml:find("<Extra>", 1, true), "the new session already has GUI state")
local n
xml, n = xml:gsub("</Session>", '<Extra><UI><Window name="' .. window
  .. '" visible="1" x-off="0" y-off="0" x-size="-1" y-size="-1"/></UI></Extra>\n</Session>')
assert(n == 1, "session file: no </Session>")
f = assert(io.open(path, "w"))
f:write(xml)
f:close()
print("session " .. dir .. ", plug-in window " .. window)
