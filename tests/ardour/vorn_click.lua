-- For the Ardour check: each change of the control "cue" puts one sample
-- of 1.0 at the start of the next block, on both channels.
ardour { ["type"] = "dsp", name = "Vorn Click On Cue", license = "MIT", author = "Fenmoor", description = "click" }
function dsp_ioconfig () return { { audio_in = 2, audio_out = 2 } } end
function dsp_params () return { { ["type"] = "input", name = "cue", min = 0, max = 1000, default = 0, integer = true } } end
local last = 0
function dsp_run (ins, outs, n_samples)
  for c = 1, #outs do
    if ins[c] ~= outs[c] then ARDOUR.DSP.copy_vector (outs[c], ins[c], n_samples) end
  end
  local cue = CtrlPorts:array ()[1]
  if cue ~= last then
    last = cue
    outs[1]:array ()[1] = 1.0
    outs[2]:array ()[1] = 1.0
  end
end
