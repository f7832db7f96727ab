-- The Ardour session with ZAVRO's VST 2.4 library (see ZavroSession.lua).
dofile(assert(os.getenv("ZAVRO_SESSION_LIB")))

RunZavroSession({
  id = "1513304376", -- 'Z318'
  type = ARDOUR.PluginType.LXVST,
  count = 27,
  -- Normalised values a host would send: a continuous gain, a frequency, switches.
  settings = { [0] = 0.75, [1] = 0.4, [6] = 0.25, [19] = 0.6, [20] = 0.0, [21] = 1.0, [24] = 0.0, [25] = 0.5 },
  close = function(a, b) return math.abs(a - b) < 1e-6 end,
})
