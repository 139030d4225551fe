-- Drives Ardour 7 headless (ardour7-lua, dummy engine) around one of our plug-ins.
-- Run by scripts/ardour-check.sh, one step per process because every session
-- needs the engine at its own rate:
--
--   ardour7-lua session_check.lua list    SESSION_DIR
--   ardour7-lua session_check.lua prepare SESSION_DIR RATE OUT_DIR LATENCY SETS
--   ardour7-lua session_check.lua reload  SESSION_DIR RATE OUT_DIR LATENCY SETS
--   ardour7-lua session_check.lua gui     SESSION_DIR RATE SETS AUTOMATED
--
-- ARDOUR_CHECK_PLUGIN_ID (the unique ID as a decimal number) and
-- ARDOUR_CHECK_PARAM_COUNT name the plug-in and its parameter count. With
-- ARDOUR_CHECK_PLUGIN set, prepare also checks that the plug-in Ardour found
-- is that file.
--
-- prepare records pink noise from the dummy engine into a stereo track (and
-- writes it to OUT_DIR/input.wav), inserts the plug-in, checks it, applies SETS
-- and saves; ardour7-export then renders that session in a process of its own;
-- reload loads it once more and checks what came back.
--
-- gui builds the session that scripts/ardour-gui-check.sh opens in Ardour's
-- own window: a sine recorded into a stereo track (played from disk, so that
-- the tone stops with the transport), the plug-in on the track with SETS
-- applied, and a lane in Play mode that moves parameter AUTOMATED up and down
-- from its value; Auto Return brings every roll back to the start. All
-- automation lanes are in audio time: Ardour 7.3 takes itself down when a
-- plug-in's gesture writes to a lane in music time in Touch mode.
--
-- SETS is "index=value,index=value". Every check prints one line starting with
-- "ok " or "FAIL "; the step stops at the first failure, closes the session and
-- exits 1.
--
-- Ardour's own traps this script steps around:
--  * plug-ins may be listed only once a session exists;
--  * a parameter index past the last one takes the host down, so every index is
--    checked against parameter_count first;
--  * objects that Lua still holds when the session closes are destroyed after
--    it, which corrupts the heap: each step keeps its references in a function
--    scope and collects garbage before close_session;
--  * Session:simple_export() works, but destroying it frees Ardour 7.3's export
--    profile twice (about every other run, with any plug-in on a track), so the
--    render goes through ardour7-export instead.
io.stdout:setvbuf("line")

local SESSION = "check"
local PLUGIN_ID = os.getenv("ARDOUR_CHECK_PLUGIN_ID") or ""
local PARAM_COUNT = tonumber(os.getenv("ARDOUR_CHECK_PARAM_COUNT") or "0")
local RECORD_SECONDS = 3

local reported = false

local function fail(msg)
  print("FAIL " .. msg)
  reported = true
  error(msg, 0)
end

local function check(cond, msg)
  if not cond then fail(msg) end
  print("ok " .. msg)
end

local function parse_sets(text)
  local sets = {}
  for i, v in string.gmatch(text or "", "(%d+)=([-%d.eE+]+)") do
    sets[#sets + 1] = {index = tonumber(i), value = tonumber(v)}
  end
  return sets
end

-- The value a VST parameter holds after a host passes it on as a float.
local function as_float(x)
  return (string.unpack("<f", string.pack("<f", x)))
end

local function wait_until(cond, seconds)
  local deadline = ARDOUR.LuaAPI.monotonic_time() + seconds * 1e6
  while not cond() do
    if ARDOUR.LuaAPI.monotonic_time() > deadline then return false end
    ARDOUR.LuaAPI.usleep(10000)
  end
  return true
end

-- The dummy inputs give independent pink noise on every port, or a sine.
local function start_engine(rate, device)
  ARDOUR.config():set_hide_dummy_backend(false)
  local backend = AudioEngine:set_backend("None (Dummy)", "", "")
  if not backend or backend:isnil() then fail("the dummy audio engine is available") end
  -- Ten times real time keeps the recording short.
  backend:set_driver("10x Speed")
  backend:set_device_name(device or "Pink Noise")
  return backend
end

-- Every listed LXVST plug-in with our unique ID (a copy installed elsewhere
-- would make the check load the wrong file).
local function find_plugin_paths()
  local paths = {}
  for p in ARDOUR.LuaAPI.list_plugins():iter() do
    if p.type == ARDOUR.PluginType.LXVST and p.unique_id == PLUGIN_ID then paths[#paths + 1] = p.path end
  end
  return paths
end

local function read_file(path)
  local f = io.open(path, "rb")
  if not f then return nil end
  local s = f:read("a")
  f:close()
  return s
end

local function write_file(path, text)
  local f = assert(io.open(path, "wb"))
  f:write(text)
  f:close()
end

-- The plug-in's chunk as Ardour stored it in a session file (base64).
local function stored_chunk(session_file)
  local xml = read_file(session_file)
  if not xml then return nil end
  local lxvst = xml:match('<Processor[^>]-unique%-id="' .. PLUGIN_ID .. '".-</Processor>')
  return lxvst and lxvst:match("<chunk[^>]*>%s*([^<]-)%s*</chunk>")
end

local function write_wav(path, rate, left, right, frames)
  local f = assert(io.open(path, "wb"))
  local bytes = frames * 8
  f:write("RIFF", string.pack("<I4", 36 + bytes), "WAVEfmt ",
          string.pack("<I4I2I2I4I4I2I2", 16, 3, 2, rate, rate * 8, 8, 32),
          "data", string.pack("<I4", bytes))
  local parts = {}
  for i = 1, frames do
    parts[#parts + 1] = string.pack("<ff", left[i], right[i])
    if #parts == 4096 then
      f:write(table.concat(parts))
      parts = {}
    end
  end
  f:write(table.concat(parts))
  f:close()
end

local function read_region(region)
  local rd = region:to_readable()
  local frames = rd:readable_length()
  local shm = ARDOUR.DSP.DspShm(8192)
  local chans = {{}, {}}
  for c = 0, 1 do
    local pos = 0
    local dst = chans[c + 1]
    repeat
      local got = rd:read(shm:to_float(0), pos, 8192, c)
      local d = shm:to_float(0):array()
      for i = 1, got do dst[pos + i] = d[i] end
      pos = pos + got
    until got < 8192
    if pos ~= frames then fail("the recorded region reads back whole") end
  end
  return chans, frames
end

local function our_plugin(track)
  local proc = track:nth_plugin(0)
  if proc:isnil() then return nil end
  local plugin = proc:to_insert():plugin(0)
  if plugin:unique_id() ~= PLUGIN_ID then return nil end
  return proc, plugin
end

local function param_values(proc, plugin)
  local n = plugin:parameter_count()
  local values = {}
  for i = 0, math.min(n, PARAM_COUNT) - 1 do
    values[#values + 1] = string.format("%d=%.9g", i, ARDOUR.LuaAPI.get_processor_param(proc, i))
  end
  return values
end

-- Every parameter's name as Ardour shows it.
local function param_names(plugin)
  local names = {}
  for i = 0, math.min(plugin:parameter_count(), PARAM_COUNT) - 1 do
    names[#names + 1] = string.format("%d=%s", i, plugin:parameter_label(i))
  end
  return names
end

local function list_step(dir)
  start_engine(44100)
  create_session(dir, SESSION, 44100)
  local found = false
  for p in ARDOUR.LuaAPI.list_plugins():iter() do
    if p.type == ARDOUR.PluginType.LXVST then
      print(string.format("listed: %s id %s at %s", p.name, p.unique_id, p.path))
      if p.unique_id == PLUGIN_ID then found = true end
    end
  end
  print(found and "listed: ours is there" or "listed: ours is not there yet")
end

local function record(track, rate, seconds)
  local capture = C.StringVector()
  AudioEngine:get_physical_inputs(ARDOUR.DataType("audio"), capture, 0, 0)
  if capture:size() < 2 then fail("the dummy engine has two capture ports") end
  track:input():disconnect_all(nil)
  for i = 0, 1 do track:input():nth(i):connect(capture:at(i)) end
  check(track:input():nth(0):connected() and track:input():nth(1):connected(),
        "the track's inputs are connected to the dummy capture ports")

  track:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
  Session:maybe_enable_record(false)
  Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
  if not wait_until(function() return Session:transport_sample() >= seconds * rate end, 60) then
    fail("the dummy engine rolls")
  end
  Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
  wait_until(function() return Session:transport_stopped() end, 30)
  local playlist = track:playlist()
  wait_until(function() return playlist:n_regions() > 0 end, 30)
  track:rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)
  -- From now on the track plays its region only: no live input reaches the plug-in.
  track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorDisk, PBD.GroupControlDisposition.NoGroup)
  track:input():disconnect_all(nil)
  local region
  for r in playlist:region_list():iter() do region = r:to_audioregion() end
  if not region then fail("recording left a region") end
  region:set_fade_in_active(false)
  region:set_fade_out_active(false)
  return region
end

-- A stereo track of the session, recording into WAVE files of this sample format.
local function new_track(name, format)
  local cfg = Session:cfg()
  cfg:set_native_file_header_format(ARDOUR.HeaderFormat.WAVE)
  cfg:set_native_file_data_format(format)
  local track
  for t in Session:new_audio_track(2, 2, nil, 1, name, ARDOUR.PresentationInfo.max_order,
                                   ARDOUR.TrackMode.Normal, true, false):iter() do
    track = t
  end
  if not track then fail("a stereo track is created") end
  return track
end

-- The plug-in, checked, inserted first on the track.
local function insert_plugin(track)
  local paths = find_plugin_paths()
  check(#paths == 1, string.format("Ardour lists the plug-in once (LXVST, unique ID %s): %s",
                                   PLUGIN_ID, table.concat(paths, ", ")))
  local expected = os.getenv("ARDOUR_CHECK_PLUGIN")
  check(expected == nil or paths[1] == expected, "it is the file under test")
  local proc = ARDOUR.LuaAPI.new_plugin(Session, PLUGIN_ID, ARDOUR.PluginType.LXVST, "")
  check(not proc:isnil(), "Ardour instantiates the plug-in")
  check(track:add_processor_by_index(proc, 0, nil, true) == 0, "the plug-in is inserted on the track")
  local plugin = proc:to_insert():plugin(0)
  local id = tonumber(plugin:unique_id())
  check(plugin:unique_id() == PLUGIN_ID,
        string.format("unique ID %s ('%s')", plugin:unique_id(), string.pack(">I4", id)))
  check(plugin:parameter_count() == PARAM_COUNT, string.format("%d parameters", plugin:parameter_count()))
  return proc, plugin
end

local function apply_sets(proc, plugin, sets)
  for _, s in ipairs(sets) do
    if s.index < 0 or s.index >= plugin:parameter_count() then fail("parameter index " .. s.index .. " exists") end
    if not ARDOUR.LuaAPI.set_processor_param(proc, s.index, s.value) then fail("parameter " .. s.index .. " is set") end
  end
  -- Control changes reach the plug-in in the next process cycles.
  ARDOUR.LuaAPI.usleep(300000)
  for _, s in ipairs(sets) do
    local got = ARDOUR.LuaAPI.get_processor_param(proc, s.index)
    check(got == as_float(s.value), string.format("parameter %d reads back %.9g", s.index, got))
  end
end

local function prepare_step(dir, rate, out_dir, latency, sets)
  start_engine(rate)
  create_session(dir, SESSION, rate)
  check(Session:nominal_sample_rate() == rate, string.format("the session runs at %d Hz", rate))
  print(string.format("engine: %s, block %d", AudioEngine:current_backend_name(), Session:get_block_size()))
  write_file(out_dir .. "/block.txt", tostring(Session:get_block_size()) .. "\n")
  local cfg = Session:cfg()
  -- The region must reach the plug-in unchanged: no declick, no region fades.
  cfg:set_use_transport_fades(false)
  cfg:set_use_region_fades(false)
  cfg:set_use_monitor_fades(false)
  local track = new_track("Test", ARDOUR.SampleFormat.Float)

  -- Recorded before the plug-in is added, so the plug-in never hears live input.
  local region = record(track, rate, RECORD_SECONDS)
  local chans, frames = read_region(region)
  local peak, differ = 0, false
  for i = 1, frames do
    peak = math.max(peak, math.abs(chans[1][i]), math.abs(chans[2][i]))
    if chans[1][i] ~= chans[2][i] then differ = true end
  end
  check(frames >= (RECORD_SECONDS - 1) * rate and peak > 0.01 and differ,
        string.format("recorded %d frames of stereo noise, peak %.3f", frames, peak))
  write_wav(out_dir .. "/input.wav", rate, chans[1], chans[2], frames)

  local proc, plugin = insert_plugin(track)
  check(proc:signal_latency() == latency,
        string.format("latency %d samples at %d Hz (expected %d)", proc:signal_latency(), rate, latency))
  apply_sets(proc, plugin, sets)
  check(proc:signal_latency() == latency, string.format("latency still %d samples after the settings", latency))
  write_file(out_dir .. "/params-ardour.txt", table.concat(param_values(proc, plugin), "\n") .. "\n")
  write_file(out_dir .. "/names-ardour.txt", table.concat(param_names(plugin), "\n") .. "\n")

  -- ardour7-export renders the session range through the master bus.
  local range = Session:locations():session_range_location()
  check(range ~= nil and range:start():samples() == region:position():samples()
        and range:_end():samples() == region:position():samples() + frames,
        string.format("the session range is the recorded region (%d frames)", frames))

  Session:save_state("", false, false, false, false, false)
  local chunk = stored_chunk(dir .. "/" .. SESSION .. ".ardour")
  check(chunk ~= nil and #chunk > 0, "the saved session holds the plug-in's chunk")
  write_file(out_dir .. "/chunk-saved.b64", chunk)
end

local function reload_step(dir, rate, out_dir, latency, sets)
  start_engine(rate)
  load_session(dir, SESSION)
  check(Session ~= nil and Session:nominal_sample_rate() == rate,
        string.format("the saved session loads at %d Hz", rate))
  local track = Session:route_by_name("Test")
  check(not track:isnil(), "the track is back")
  local proc, plugin = our_plugin(track)
  check(proc ~= nil, "the plug-in is back on the track")
  check(proc:signal_latency() == latency, string.format("latency %d samples", proc:signal_latency()))
  local before = read_file(out_dir .. "/params-ardour.txt")
  local after = table.concat(param_values(proc, plugin), "\n") .. "\n"
  write_file(out_dir .. "/params-reloaded.txt", after)
  check(before == after, "all " .. PARAM_COUNT .. " parameter values came back")
  for _, s in ipairs(sets) do
    local got = ARDOUR.LuaAPI.get_processor_param(proc, s.index)
    check(got == as_float(s.value), string.format("parameter %d is %.9g again", s.index, got))
  end
  Session:save_state("reloaded", false, false, false, false, false)
  local chunk = stored_chunk(dir .. "/reloaded.ardour")
  local saved = read_file(out_dir .. "/chunk-saved.b64")
  check(chunk ~= nil and chunk == saved,
        string.format("the chunk came back (%d base64 characters)", chunk and #chunk or 0))
end

local GUI_TONE_SECONDS = 30

local function gui_step(dir, rate, sets, automated)
  ARDOUR.config():set_default_automation_time_domain(Temporal.TimeDomain.AudioTime)
  start_engine(rate, "Sine Wave")
  create_session(dir, SESSION, rate)
  Session:cfg():set_auto_return(true)
  local track = new_track("Tone", ARDOUR.SampleFormat.Int16)
  local region = record(track, rate, GUI_TONE_SECONDS)
  local frames = region:length():samples()
  check(frames >= (GUI_TONE_SECONDS - 1) * rate, string.format("recorded %d frames of the sine", frames))

  local proc, plugin = insert_plugin(track)
  apply_sets(proc, plugin, sets)
  if automated < 0 or automated >= plugin:parameter_count() then fail("parameter index " .. automated .. " exists") end
  -- Up and down by a quarter of the range every second, from the value it has.
  local ac = proc:to_automatable():automation_control(
    Evoral.Parameter(ARDOUR.AutomationType.PluginAutomation, 0, automated), true)
  local list = ac:alist()
  local from = ARDOUR.LuaAPI.get_processor_param(proc, automated)
  local start = region:position():samples()
  for second = 0, GUI_TONE_SECONDS do
    local to = second % 2 == 0 and from or math.min(from + 0.25, 1)
    list:add(Temporal.timepos_t(start + second * rate), to, false, true)
  end
  ac:set_automation_state(ARDOUR.AutoState.Play)

  Session:request_locate(start, false, ARDOUR.LocateTransportDisposition.MustStop,
                         ARDOUR.TransportRequestSource.TRS_UI)
  wait_until(function() return Session:transport_sample() == start end, 10)
  Session:save_state("", false, false, false, false, false)
  local xml = read_file(dir .. "/" .. SESSION .. ".ardour") or ""
  local lane = xml:match('<AutomationList automation%-id="parameter%-' .. automated .. '"[^>]*>')
  check(lane ~= nil and lane:find('time-domain="AudioTime"', 1, true) and lane:find('state="Play"', 1, true),
        string.format("parameter %d plays %d points of automation in audio time", automated, list:size()))
end

local function main(step)
  if PLUGIN_ID == "" or PARAM_COUNT <= 0 then
    fail("ARDOUR_CHECK_PLUGIN_ID and ARDOUR_CHECK_PARAM_COUNT name the plug-in")
  end
  if step == "list" then
    list_step(arg[2])
  elseif step == "prepare" then
    prepare_step(arg[2], tonumber(arg[3]), arg[4], tonumber(arg[5]), parse_sets(arg[6]))
  elseif step == "reload" then
    reload_step(arg[2], tonumber(arg[3]), arg[4], tonumber(arg[5]), parse_sets(arg[6]))
  elseif step == "gui" then
    gui_step(arg[2], tonumber(arg[3]), parse_sets(arg[4]), tonumber(arg[5]))
  else
    fail("usage: session_check.lua list|prepare|reload|gui ...")
  end
end

local ok, err = pcall(main, arg[1])
if not ok and not reported then print("FAIL " .. tostring(err)) end
collectgarbage()
close_session()
if not ok then os.exit(1) end
