-- Ardour 7 itself, headless on its dummy backend (run by ardour7-lua): the LV2
-- on a four-channel track, its Gain as Ardour describes and shows it, changed
-- through Ardour, saved with the session and reloaded. What the plug-in really
-- holds is read from the state Ardour saves for it.
--
-- Environment: SESSION_DIR (emptied first), LV2_PATH (the built bundle's folder),
-- PLUGIN_URI, and a HOME of the test's own.
--
-- Ardour 7.3 shows an LV2 parameter's value only once Ardour itself has set it:
-- a fresh or reloaded instance reads 0 in its controls whatever the plug-in
-- holds, and no message from the plug-in changes that. The test prints what
-- Ardour shows there and checks what does hold.

local sessionDir = assert (os.getenv ("SESSION_DIR"), "SESSION_DIR is not set")
local pluginUri = assert (os.getenv ("PLUGIN_URI"), "PLUGIN_URI is not set")
local sessionName = "gain"
local trackName = "B-format"
local newGain = 0.25

local function check (condition, message)
    if not condition then
        print ("FAILED: " .. message)
        os.exit (1)
    end
end

local function near (a, b) return math.abs (a - b) < 1.0e-6 end

-- Ardour names a plug-in's LV2 parameters by URIDs it hands out at run time: look the Gain up.
local propertyAutomation = ARDOUR.AutomationType.PluginAutomation + 1

local function gainControl (insert)
    for id = 1, 100000 do
        local control = insert:to_automatable():automation_control (Evoral.Parameter (propertyAutomation, 0, id), false)

        if not control:isnil() and control:name() == "property-" .. pluginUri .. ":gain" then
            return control
        end
    end

    check (false, "Ardour has no Gain control for the plug-in")
end

local function letItRun() ARDOUR.LuaAPI.usleep (300000) end

-- The plug-in's own state as Ardour last saved it: the framework's base64 of our
-- state block (the length, a dot, six bits a character from the lowest), its Gain.
local function savedGain()
    local session = assert (io.open (sessionDir .. "/" .. sessionName .. ".ardour")):read ("a")
    local id, stateDir = session:match ('<Processor id="(%d+)" name="Ortholume".-state%-dir="([^"]+)"')
    check (id ~= nil, "the saved session has no Ortholume state")
    local ttl = assert (io.open (sessionDir .. "/plugins/" .. id .. "/" .. stateDir .. "/state.ttl")):read ("a")
    local size, text = ttl:match (':StateString> "(%d+)%.([^"]*)"')
    check (size ~= nil, "the saved plug-in state holds no state string")

    local alphabet = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+"
    local bytes, bits, numBits = {}, 0, 0

    for c in text:gmatch (".") do
        bits = bits | ((alphabet:find (c, 1, true) - 1) << numBits)
        numBits = numBits + 6

        while numBits >= 8 do
            bytes[#bytes + 1] = string.char (bits & 0xff)
            bits, numBits = bits >> 8, numBits - 8
        end
    end

    local block = table.concat (bytes):sub (1, tonumber (size))
    return tonumber (block:match ("<Gain>([^<]*)</Gain>"))
end

local function save()
    check (Session:save_state ("", false, false, false, false, false) == 0, "Ardour could not save the session")
end

AudioEngine:set_backend ("None (Dummy)", "", "")
os.execute ("rm -rf '" .. sessionDir .. "'")
check (create_session (sessionDir, sessionName, 48000) ~= nil, "Ardour could not create a session")

local track = Session:new_audio_track (4, 4, nil, 1, trackName, ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true):front()
local plugin = ARDOUR.LuaAPI.new_plugin (Session, pluginUri, ARDOUR.PluginType.LV2, "")
check (not plugin:isnil(), "Ardour does not find the LV2 " .. pluginUri)
check (track:add_processor_by_index (plugin, 0, nil, true) == 0, "Ardour does not insert it on a four-channel track")
check (plugin:to_insert():output_streams():n_audio() == 4, "the insert does not have four outputs")

local gain = gainControl (plugin:to_insert())
letItRun()
print ("inserted: Ardour shows Gain " .. gain:get_value() .. ", default " .. gain:normal())
check (near (gain:normal(), 0.9) and gain:lower() == 0 and gain:upper() == 1,
       "Ardour does not read the Gain's default 0.9 and range 0..1")
save()
check (near (savedGain(), 0.9), "a new instance does not hold the default Gain 0.9")

gain:set_value (newGain, PBD.GroupControlDisposition.NoGroup)
letItRun()
print ("changed: Ardour shows Gain " .. gain:get_value())
check (near (gain:get_value(), newGain), "Ardour does not show the Gain it set")
save()
check (near (savedGain(), newGain), "the Gain set through Ardour did not reach the plug-in")
close_session()

check (load_session (sessionDir, sessionName) ~= nil, "Ardour could not reload the session")
local reloaded = Session:route_by_name (trackName):nth_plugin (0)
check (not reloaded:isnil(), "the reloaded session lost the plug-in")
letItRun()
print ("reloaded: Ardour shows Gain " .. gainControl (reloaded:to_insert()):get_value())
-- Saved again from the reloaded instance: Ardour keeps the earlier state only if
-- the plug-in reports the same one.
save()
check (near (savedGain(), newGain), "the reloaded plug-in does not hold the Gain set before")
close_session()
print ("passed")
