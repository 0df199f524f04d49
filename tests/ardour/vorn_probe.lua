-- For the Ardour check: watches the left channel for the frame of a click
-- (the first sample of 0.5 or more), how many frames later the first echo
-- reaches -60 dB (shared memory slot 2) and the loudest sample after the
-- click (slot 3); slot 1 is 0 waiting, 1 clicked, 2 echoed. Each change of
-- the control "arm" starts over.
ardour { ["type"] = "dsp", name = "Vorn Echo Probe", license = "MIT", author = "Fenmoor", description = "probe" }
function dsp_ioconfig () return { { audio_in = 2, audio_out = 2 } } end
function dsp_params () return { { ["type"] = "input", name = "arm", min = 0, max = 1000, default = 0, integer = true } } end
local armed, state, pos, click = -1, 0, 0, 0
function dsp_init (rate)
  self:shmem ():allocate (4)
  self:shmem ():clear ()
end
function dsp_run (ins, outs, n_samples)
  for c = 1, #outs do
    if ins[c] ~= outs[c] then ARDOUR.DSP.copy_vector (outs[c], ins[c], n_samples) end
  end
  local shm = self:shmem ():to_float (0):array ()
  local arm = CtrlPorts:array ()[1]
  if arm ~= armed then
    armed, state = arm, 0
    shm[1], shm[2], shm[3], shm[4] = 0, 0, 0, arm
  end
  local a = ins[1]:array ()
  for i = 1, n_samples do
    local x = math.abs (a[i])
    local frame = pos + i
    if state == 0 then
      if x >= 0.5 then click, state = frame, 1 end
    else
      if frame > click + 2 and x > shm[3] then shm[3] = x end
      if state == 1 and frame > click + 2 and x >= 0.001 then
        shm[2], state = frame - click, 2
      end
    end
  end
  pos = pos + n_samples
  shm[1] = state
end
