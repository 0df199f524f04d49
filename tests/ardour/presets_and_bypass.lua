-- Vorn Delay 2 in Ardour, headless (ardour7-lua on the dummy back-end):
-- the plug-in's factory presets are listed, one is applied and the echo
-- follows it, and Ardour's bypass reaches the lv2:enabled port.
-- Run by scripts/ardour-check.sh, which sets VORN_SESSION (a new session's
-- folder), VORN_PRESET_COUNT and VORN_ENABLED_CONTROL.

local uri = "urn:fenmoor:vorn-delay-2"
local rate = 48000
local failures = 0

local function check (ok, what)
  print ((ok and "ok   " or "FAIL ") .. what)
  if not ok then failures = failures + 1 end
end

AudioEngine:set_backend ("None (Dummy)", "", "")
local s = create_session (os.getenv ("VORN_SESSION"), "vorn", rate)
assert (s, "no session")

-- Hermetic: the only LV2 plug-in Ardour sees is the build tree's.
local lv2 = {}
for info in ARDOUR.LuaAPI.list_plugins ():iter () do
  if info.type == ARDOUR.PluginType.LV2 then lv2[#lv2 + 1] = info.unique_id end
end
check (#lv2 == 1 and lv2[1] == uri, "Ardour sees only the build tree's LV2 plug-in (" .. table.concat (lv2, " ") .. ")")

local tracks = s:new_audio_track (2, 2, nil, 1, "Echo", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
local route = tracks:front ()
-- The two helpers are DSP scripts the runner put in the session's
-- configuration folder (vorn_click.lua, vorn_probe.lua).
local click = ARDOUR.LuaAPI.new_luaproc (s, "Vorn Click On Cue")
local delay = ARDOUR.LuaAPI.new_plugin (s, uri, ARDOUR.PluginType.LV2, "")
local probe = ARDOUR.LuaAPI.new_luaproc (s, "Vorn Echo Probe")
check (not click:isnil () and not probe:isnil (), "the click and probe scripts load")
check (not delay:isnil (), "Ardour finds " .. uri)
if delay:isnil () or click:isnil () or probe:isnil () then os.exit (1) end
route:add_processor_by_index (click, 0, nil, true)
route:add_processor_by_index (delay, 1, nil, true)
route:add_processor_by_index (probe, 2, nil, true)

local insert = delay:to_insert ()
local plugin = insert:plugin (0)
local labels = {}
for preset in plugin:get_info ():get_presets (false):iter () do labels[#labels + 1] = preset.label end
table.sort (labels)
print ("presets: " .. table.concat (labels, ", "))
check (#labels == tonumber (os.getenv ("VORN_PRESET_COUNT")), #labels .. " factory presets listed")

local shm = probe:to_insert ():plugin (0):to_luaproc ():shmem ()
local cue = 0
-- Fires a click and waits for the probe; answers the echo's delay in ms
-- (nil when none came) and the loudest sample after the click.
local function measure (wait_ms)
  cue = cue + 1
  ARDOUR.LuaAPI.set_processor_param (probe, 0, cue)
  ARDOUR.LuaAPI.usleep (100000)
  ARDOUR.LuaAPI.set_processor_param (click, 0, cue)
  ARDOUR.LuaAPI.usleep (wait_ms * 1000)
  local v = shm:to_float (0):array ()
  if v[1] < 2 then return nil, v[3] end
  return v[2] * 1000 / rate, v[3]
end

local function apply (label)
  local preset = plugin:preset_by_label (label)
  check (preset ~= nil and plugin:load_preset (preset), "preset " .. label .. " applied")
  ARDOUR.LuaAPI.usleep (300000)  -- the fade around a preset loaded while running
end

apply ("Slapback")
local echo = measure (600)
print (string.format ("Slapback: first echo %.2f ms", echo or -1))
check (echo ~= nil and math.abs (echo - 90) < 0.5, "the slapback's first echo at 90 ms")

apply ("Long Ambient Wash")
echo = measure (1600)
print (string.format ("Long Ambient Wash: first echo %.2f ms", echo or -1))
check (echo ~= nil and math.abs (echo - 1200) < 0.5, "the wash's first echo at 1200 ms")

-- Ardour's bypass (the processor's enable switch) drives the plug-in's
-- enabled port; the echo goes, the dry click stays.
-- Ardour numbers a plug-in's controls in port order: the enabled port
-- comes after the ten sliders' controls.
local enabled_control = tonumber (os.getenv ("VORN_ENABLED_CONTROL"))
local function enabled_value ()
  local value = ARDOUR.LuaAPI.get_plugin_insert_param (insert, enabled_control, false)
  return value
end
apply ("Slapback")
insert:enable (false)
ARDOUR.LuaAPI.usleep (300000)
check (enabled_value () == 0, "bypass sets the enabled port to 0")
check (insert:active (), "the plug-in keeps running while bypassed")
local bypassed, loudest = measure (600)
print (string.format ("bypassed: loudest after the click %.6f", loudest))
check (bypassed == nil and loudest < 0.001, "no echo while bypassed")
insert:enable (true)
ARDOUR.LuaAPI.usleep (300000)
check (enabled_value () == 1, "enabling sets the enabled port to 1")
echo = measure (600)
check (echo ~= nil and math.abs (echo - 90) < 0.5, "the echo is back after the bypass")

s:save_state ("", false, false, false, false, false)
close_session ()
if failures > 0 then
  print (failures .. " Ardour checks failed")
  os.exit (1)
end
print ("all Ardour checks passed")
