-- The Ardour half of vst3_ardour, run by ardour7-lua (Ardour's library, headless, on the
-- "None (Dummy)" backend):
--   input DEMO.wav OUT.wav   the test file: a second of silence, then DEMO, as float samples
--   session DIR INPUT.wav    a session "t" in DIR that plays INPUT on a stereo track through
--                            Quorvane with "Planet JX-3P" and Reso at 0.7, into the master
--   same A.wav B.wav         fails unless both hold the same samples after the second of
--                            silence, bit for bit
--   reload DIR               values changed with the plug-in deactivated survive saving and
--                            loading the session
local command = arg[1]
-- Seconds of silence before the demo. Ardour runs the plug-in on silence before an
-- export (its pre-roll) and the VST 2 render starts it fresh; on silence both settle to
-- the same state within about 1000 frames, so the demo meets the same plug-in in both.
local kLeadIn = 1

-- A WAV file's format chunk fields and its sample bytes.
local function readWav(path)
  local f = assert(io.open(path, "rb"))
  local bytes = f:read("a")
  f:close()
  assert(bytes:sub(1, 4) == "RIFF" and bytes:sub(9, 12) == "WAVE", path .. ": not a WAV file")
  local at, fmt, data = 13
  while at + 8 <= #bytes do
    local id, size = bytes:sub(at, at + 3), string.unpack("<I4", bytes, at + 4)
    if id == "fmt " then
      local format, channels, rate, _, _, bits = string.unpack("<I2I2I4I4I2I2", bytes, at + 8)
      fmt = {format = format, channels = channels, rate = rate, bits = bits}
    elseif id == "data" then
      data = bytes:sub(at + 8, at + 7 + size)
    end
    at = at + 8 + size + size % 2
  end
  assert(fmt and data, path .. ": no format or data chunk")
  return fmt, data
end

local function writeFloatWav(path, channels, rate, data)
  local fmt = string.pack("<I2I2I4I4I2I2", 3, channels, rate, rate * channels * 4, channels * 4, 32)
  local body = "WAVE" .. "fmt " .. string.pack("<I4", #fmt) .. fmt .. "data" .. string.pack("<I4", #data) .. data
  local f = assert(io.open(path, "wb"))
  f:write("RIFF", string.pack("<I4", #body), body)
  f:close()
end

local function floatFrames(path)
  local fmt, data = readWav(path)
  assert(fmt.bits == 32 and (fmt.format == 3 or fmt.format == 0xFFFE), path .. ": not float samples")
  return fmt, data, #data // (4 * fmt.channels)
end

local function startEngine(rate)
  assert(AudioEngine:set_backend("None (Dummy)", "", ""), "no dummy backend")
  AudioEngine:set_sample_rate(rate)
  assert(AudioEngine:start(false) == 0, "the engine did not start")
end

local function quorvane()
  local proc = Session:route_by_name("In"):nth_plugin(0)
  assert(not proc:isnil() and proc:to_insert():plugin(0):name() == "Quorvane", "no Quorvane on the track")
  return proc
end

-- Each parameter as the plug-in and as Ardour's control for it have it.
local function values(proc)
  local v = {}
  for i = 0, 8 do
    local control = proc:to_automatable():automation_control(
      Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, i), false)
    v[i] = {ARDOUR.LuaAPI.get_processor_param(proc, i), control:get_value()}
  end
  return v
end

if command == "input" then
  -- 24-bit PCM from the demo generator, read as libsndfile reads it (divided by 2^23).
  local fmt, data = readWav(arg[2])
  assert(fmt.format == 1 and fmt.bits == 24, arg[2] .. ": expected 24-bit PCM")
  local out = {string.rep(string.pack("<f", 0), kLeadIn * fmt.rate * fmt.channels)}
  for at = 1, #data, 3 do
    out[#out + 1] = string.pack("<f", string.unpack("<i3", data, at) / 8388608)
  end
  writeFloatWav(arg[3], fmt.channels, fmt.rate, table.concat(out))

elseif command == "session" then
  local dir, input = arg[2], arg[3]
  local fmt, _, frames = floatFrames(input)
  startEngine(fmt.rate)
  assert(create_session(dir, "t", fmt.rate), "could not create the session")
  Session:new_audio_track(2, 2, nil, 1, "In", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
  Session:save_state("", false, false, false)
  close_session()

  -- Ardour's Lua has no import: the file goes in as the session's own sources, a region on
  -- the track and the session range, exactly the file's length (positions in Ardour's
  -- superclock ticks). No fades, unity region gain.
  local sounds = dir .. "/interchange/" .. dir:match("([^/]+)/*$") .. "/audiofiles/"
  local src, dst = assert(io.open(input, "rb")), assert(io.open(sounds .. "input.wav", "wb"))
  dst:write(src:read("a"))
  src:close()
  dst:close()
  local length = "a" .. frames * (Temporal.superclock_ticks_per_second() // fmt.rate)
  local function region(id, wholeFile)
    return string.format('<Region name="input" id="%d" type="audio" position="a0" start="a0" '
      .. 'length="%s@a0" sync-position="a0" ancestral-start="a0" ancestral-length="a0@a0" '
      .. 'whole-file="%d" muted="0" opaque="1" locked="0" envelope-active="0" default-fade-in="0" '
      .. 'default-fade-out="0" fade-in-active="0" fade-out-active="0" scale-amplitude="1" channels="2" '
      .. 'source-0="90001" source-1="90002" master-source-0="90001" master-source-1="90002"/>',
      id, length, wholeFile)
  end
  local path = dir .. "/t.ardour"
  local f = assert(io.open(path))
  local xml = f:read("a")
  f:close()
  local edits = {
    {"<Sources/>", '<Sources><Source name="input.wav" type="audio" flags="" id="90001" channel="0" '
      .. 'origin="" gain="1" natural-position="a0"/><Source name="input.wav" type="audio" flags="" '
      .. 'id="90002" channel="1" origin="" gain="1" natural-position="a0"/></Sources>'},
    {"<Regions/>", "<Regions>" .. region(90010, 1) .. "</Regions>"},
    {"<Locations/>", '<Locations><Location id="90020" name="session" start="a0" end="' .. length
      .. '" flags="IsSessionRange" locked="0" timestamp="0" cue="0"/></Locations>'},
    {"(<Playlist [^>]-)/>", "%1>" .. region(90011, 0) .. "</Playlist>"},
  }
  for _, e in ipairs(edits) do
    local n
    xml, n = xml:gsub(e[1], e[2])
    assert(n == 1, "session file: no single " .. e[1])
  end
  f = assert(io.open(path, "w"))
  f:write(xml)
  f:close()

  assert(load_session(dir, "t"), "could not load the session")
  local track = Session:route_by_name("In"):to_track()
  assert(track:playlist():n_regions() == 1, "the region did not load")
  -- The track straight into the master, both without panners: no pan law touches a sample.
  local master = Session:master_out()
  for c = 0, 1 do
    assert(track:output():audio(c):connect(master:input():audio(c):name()) == 0, "could not connect the track")
  end
  track:panner_shell():set_bypassed(true)
  master:panner_shell():set_bypassed(true)

  local proc = ARDOUR.LuaAPI.new_plugin(Session, "Quorvane", ARDOUR.PluginType.VST3, "")
  assert(not proc:isnil(), "Ardour does not know Quorvane: did the scanner run?")
  assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "could not add Quorvane")
  local plugin = proc:to_insert():plugin(0)
  local preset = plugin:preset_by_label("Planet JX-3P")
  assert(preset and preset.uri:match(":0008$"), "no factory preset for program 8")
  assert(plugin:load_preset(preset), "could not select program 8")
  assert(ARDOUR.LuaAPI.set_processor_param(proc, 4, 0.7), "could not set Reso")
  -- Both changes reach the processor in the next cycles.
  assert(ARDOUR.LuaAPI.wait_for_process_callback(8, 5000), "the engine does not process")
  Session:save_state("", false, false, false)
  close_session()

elseif command == "same" then
  local fa, a, na = floatFrames(arg[2])
  local fb, b, nb = floatFrames(arg[3])
  assert(fa.channels == fb.channels and fa.rate == fb.rate, "channels or rate differ")
  assert(na == nb, string.format("%d frames against %d", na, nb))
  local first = kLeadIn * fa.rate
  a, b = a:sub(first * 4 * fa.channels + 1), b:sub(first * 4 * fa.channels + 1)
  if a ~= b then
    local frame = 0
    while a:sub(frame * 4 * fa.channels + 1, (frame + 1) * 4 * fa.channels)
       == b:sub(frame * 4 * fa.channels + 1, (frame + 1) * 4 * fa.channels) do
      frame = frame + 1
    end
    error(string.format("the samples differ from frame %d of %d on", first + frame, na))
  end
  print(string.format("frames %d to %d, %d channels, the same bit for bit", first, na, fa.channels))

elseif command == "reload" then
  local dir = arg[2]
  -- New values for the nine parameters, in Ardour's units (Stages counts steps 0..3).
  local changes = {[0] = 0.62, 1, 1, 0.45, 0.35, 0.8, 0.25, 0.55, 0.4}
  startEngine(44100)
  assert(load_session(dir, "t"), "could not load the session")
  local proc = quorvane()
  proc:deactivate()
  for i = 0, 8 do assert(ARDOUR.LuaAPI.set_processor_param(proc, i, changes[i])) end
  local saved = values(proc)
  Session:save_state("", false, false, false)
  close_session()

  assert(load_session(dir, "t"), "could not load the session again")
  local loaded = values(quorvane())
  close_session()
  local wrong = {}
  for i = 0, 8 do
    if math.abs(saved[i][1] - changes[i]) > 1e-7 then
      wrong[#wrong + 1] = string.format("parameter %d took %.9g for %.9g", i, saved[i][1], changes[i])
    end
    for k, what in ipairs({"plug-in", "Ardour's control"}) do
      if loaded[i][k] ~= saved[i][k] then
        wrong[#wrong + 1] = string.format("parameter %d (%s): saved %.9g, loaded %.9g", i, what, saved[i][k], loaded[i][k])
      end
    end
  end
  assert(#wrong == 0, table.concat(wrong, "\n"))
  print("nine values changed with the plug-in deactivated, the same after loading")

else
  error("usage: ardour7-lua ardour_vst3_test.lua input|session|same|reload ...")
end
