-- The Ardour session with ZAVRO's VST 3 module (see ZavroSession.lua).
dofile(assert(os.getenv("ZAVRO_SESSION_LIB")))

RunZavroSession({
  id = "F2AEE70D00DE4F4E516C6D625A333138", -- the factory's one class
  type = ARDOUR.PluginType.VST3,
  -- Ardour shows the host bypass first (the program change it keeps to
  -- itself), then the 27 parameters in index order.
  count = 28,
  -- Plain values, as Ardour exchanges them: gains in dB, a frequency in Hz, switches.
  settings = { [1] = 7.5, [2] = 200.0, [7] = -6.0, [20] = 3.0, [21] = 0.0, [22] = 1.0, [25] = 0.0, [26] = 1.0 },
  -- Ardour keeps control values as 32-bit floats.
  close = function(a, b) return math.abs(a - b) <= 1e-6 * math.max(1.0, math.abs(b)) end,
})
