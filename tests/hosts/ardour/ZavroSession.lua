-- The Ardour session both plug-in formats go through, loaded by each format's
-- script: ZAVRO on a stereo track, on the dummy audio back end; parameters set
-- from Lua, a few seconds of the back end's test sine exported, the session
-- saved, reopened and every parameter compared. Prints the ok line at the end;
-- any failed assertion stops the script before it.
--   plugin = { id = ..., type = ARDOUR.PluginType..., count = n, settings = {[index] = value}, close = function(a, b) }
function RunZavroSession(plugin)
  local sessionDir = assert(os.getenv("ZAVRO_SESSION_DIR"))
  local exportDir = assert(os.getenv("ZAVRO_EXPORT_DIR"))
  local rate = 48000
  local seconds = 3
  local wavPreset = "75969a1c-3133-4694-864b-a1fa50e43348" -- Ardour's "WAV @ session-rate"

  ARDOUR.config():set_hide_dummy_backend(false)
  local backend = AudioEngine:set_backend("None (Dummy)", "", "")
  assert(backend, "no dummy back end")
  backend:set_device_name("Sine Wave")
  backend:set_sample_rate(rate)
  assert(AudioEngine:start(false) == 0, "engine did not start")

  local function peakOfWav(path)
    local f = assert(io.open(path, "rb"), "no exported file")
    local data = f:read("a")
    f:close()
    assert(data:sub(1, 4) == "RIFF" and data:sub(9, 12) == "WAVE", "not a WAV file")
    local pos, bits, peak, frames = 13, 0, 0, 0
    while pos + 8 <= #data do
      local id, size = data:sub(pos, pos + 3), string.unpack("<I4", data, pos + 4)
      if id == "fmt " then
        bits = string.unpack("<I2", data, pos + 22)
      elseif id == "data" then
        assert(bits == 16, "expected 16-bit samples, got " .. bits)
        for p = pos + 8, pos + 8 + size - 2, 2 do
          local s = math.abs(string.unpack("<i2", data, p))
          if s > peak then peak = s end
        end
        frames = size // 4
      end
      pos = pos + 8 + size + (size % 2)
    end
    return peak, frames
  end

  local function build()
    assert(create_session(sessionDir, "zavro", rate), "session not created")
    local track = Session:new_audio_track(2, 2, nil, 1, "EQ", -1, ARDOUR.TrackMode.Normal, true):front()
    -- The track passes the back end's input on: that is the test signal.
    track:monitoring_control():set_value(ARDOUR.MonitorChoice.MonitorInput, PBD.GroupControlDisposition.NoGroup)
    local proc = ARDOUR.LuaAPI.new_plugin(Session, plugin.id, plugin.type, "")
    assert(not proc:isnil(), "ZAVRO could not be instantiated")
    assert(track:add_processor_by_index(proc, 0, nil, true) == 0, "ZAVRO could not be inserted")
    local insert = proc:to_insert():plugin(0)
    assert(insert:parameter_count() == plugin.count, "parameter count " .. insert:parameter_count())
    assert(insert:name() == "Z318ME", "name " .. insert:name())

    for index, value in pairs(plugin.settings) do
      assert(ARDOUR.LuaAPI.set_processor_param(proc, index, value), "parameter " .. index .. " not set")
    end
    local saved = {}
    for i = 0, plugin.count - 1 do saved[i] = ARDOUR.LuaAPI.get_processor_param(proc, i) end
    for index, value in pairs(plugin.settings) do
      assert(plugin.close(saved[index], value), "parameter " .. index .. " reads " .. saved[index])
    end

    local export = Session:simple_export()
    export:set_name("zavro-export")
    export:set_folder(exportDir)
    export:set_range(0, rate * seconds)
    assert(export:set_preset(wavPreset), "no WAV export preset")
    assert(export:check_outputs(), "nothing to export")
    assert(export:run_export(), "export failed")
    Session:save_state("", false, false, false)
    return saved
  end

  local function reopen(saved)
    assert(load_session(sessionDir, "zavro"), "session not reopened")
    local track = Session:route_by_name("EQ")
    assert(not track:isnil(), "track lost")
    local proc = track:nth_plugin(0)
    assert(not proc:isnil(), "ZAVRO lost from the track")
    for i = 0, plugin.count - 1 do
      local value = ARDOUR.LuaAPI.get_processor_param(proc, i)
      assert(plugin.close(value, saved[i]), "parameter " .. i .. " came back as " .. value .. ", saved " .. saved[i])
    end
  end

  local saved = build()
  collectgarbage() -- no Lua reference may outlive its session
  close_session()

  local peak, frames = peakOfWav(exportDir .. "/zavro-export.wav")
  assert(frames == rate * seconds, "exported " .. frames .. " frames")
  assert(peak > 1000, "exported audio is silent (peak " .. peak .. ")")

  reopen(saved)
  collectgarbage()
  close_session()
  print("ZAVRO-SESSION-OK peak " .. peak)
end
