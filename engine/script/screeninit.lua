-- The screen library: the Lua half of the window system. Screen scripts
-- describe windows as nested definition tables; each constructor returns a
-- command (a function of no arguments) that creates its window inside the
-- current window. The native half is the window script's functions.

LUA_PATH = "?;../?;../../?"

kPush = 0
kToggle = 1
kRadio = 2

kHAlignLeft = 0
kHAlignCenter = 1
kHAlignRight = 2
kVAlignTop = 0
kVAlignCenter = 4
kVAlignBottom = 8

kAllLayers = -1
kCenter = 80000
kMax = 160000
kDefault = 128

kPushButtonAlignment = kHAlignCenter + kVAlignCenter
kRadioButtonAlignment = kHAlignLeft + kVAlignCenter
kToggleButtonAlignment = kHAlignCenter + kVAlignCenter

kCloseWindow = 1
kDefaultAction = kCloseWindow + 1
kButtonPress = kDefaultAction + 1
kPressAnyKey = kButtonPress + 1
kQuitNow = kPressAnyKey + 1
kModalClosed = kQuitNow + 1

gReturnValue = nil
idtable = {}
gParent = {}
gCurrentDefaultStyle = {}
gCurID = 100
gBeginGroup = 0
gClosedWindows = {}
gCommandQueue = {}
gMessageQueue = {}
gDialogTable = {}

function Color(r, g, b, a)
    if not a then
        return { r / 255, g / 255, b / 255, 1 }
    end
    return { r / 255, g / 255, b / 255, a / 255 }
end

function FColor(r, g, b, a)
    if not a then
        a = 1
    end
    return { r, g, b, a }
end

function Push(window)
    table.insert(gParent, 1, window)
end

function Pop()
    table.remove(gParent, 1)
end

function DoDialogCommand(index, command)
    command()
end

-- How many window lists were made so far: DoModal tells a screen script
-- that built nothing by it.
gDialogsMade = 0

function MakeDialog(list)
    gDialogsMade = gDialogsMade + 1
    local style = gCurrentDefaultStyle
    table.foreachi(list, DoDialogCommand)
    typename = list.typename
    gCurrentDefaultStyle = style
    if typename then
        PostCreate(typename)
    end
end

function DoWindow(t)
    t.beginGroup = gBeginGroup
    gBeginGroup = 0
    t.create(t)
    MakeDialog(t)
    PopWindow()
end

function Creating(typeName, t)
end

function Window(t)
    if not t.create then
        Creating("Window", t)
        t.create = CreateWindow
    end
    return function() DoWindow(t) end
end

function Text(t)
    Creating("Text", t)
    t.create = CreateText
    return Window(t)
end

function TextEdit(t)
    Creating("TextEdit", t)
    t.create = CreateTextEdit
    return Window(t)
end

function Bitmap(t)
    Creating("Bitmap", t)
    t.create = CreateBitmap
    return Window(t)
end

function Button(t)
    Creating("Button", t)
    t.create = CreateButton
    return function()
        local label = GetTag(t, "label")
        if label then
            local tx = GetTag(t, "tx") or 0
            local ty = GetTag(t, "ty") or 0
            local tw = GetTag(t, "tw") or kMax
            local th = GetTag(t, "th") or kMax
            local buttonType = GetTag(t, "type")
            local growparent = buttonType == kRadio
            local defflags = kPushButtonAlignment
            if buttonType == kToggle then
                defflags = kToggleButtonAlignment
            elseif buttonType == kRadio then
                defflags = kRadioButtonAlignment
            end
            local textfactory = GetTag(t, "textfactory") or "_text"
            table.insert(t, AppendStyle { font = t.font, flags = t.flags })
            table.insert(t, Text { label = label, x = tx, y = ty, w = tw, h = th, name = "label",
                                   defflags = defflags, factory = textfactory, growparent = growparent })
        end
        DoWindow(t)
        if t.cleanup then
            t.cleanup()
        end
    end
end

function SetBeginGroup(style)
    gBeginGroup = 1
end

function BeginGroup()
    return function() SetBeginGroup() end
end

function GetTag(t, tag, traverseParents)
    local value = t[tag]
    if value then
        return value
    end
    if not traverseParents then
        return GetTag(gCurrentDefaultStyle, tag, true)
    end
    if t.parent then
        return GetTag(t.parent, tag, true)
    end
    return nil
end

function SetDefaultStyle(style)
    gCurrentDefaultStyle = style
end

function SetStyle(style)
    return function() SetDefaultStyle(style) end
end

function AppendStyle(style)
    return function()
        style.parent = gCurrentDefaultStyle
        SetDefaultStyle(style)
    end
end

function SetFocus(name)
    return function() RealSetFocus(name) end
end

function SetDefault(default)
    return function() end
end

function DistributeX(n)
    divisor = n + 1
    d = {}
    for i = 1, n do
        d[i] = i / divisor * gDialogWidth
    end
    return d
end

function DistributeY(n)
    local div = n + 1
    local result = {}
    for i = 1, n do
        result[i] = i / div * gDialogHeight
    end
    return result
end

function WaitForCloseMessage(id)
    while true do
        local m = WaitForMessage()
        if m then
            gLastMessage = m
            if m.type == kModalClosed and m.name == id then
                return
            end
            if m.type == kModalClosed then
                gClosedWindows[m.name] = true
            end
        end
        if gClosedWindows[id] then
            gClosedWindows[id] = nil
            return
        end
    end
end

function DoModal(file)
    local id = PushModal(file)
    local made = gDialogsMade
    ReadFile(file)
    -- A screen script that runs to its end without building its screen (one
    -- cut short between two statements) leaves an empty screen: say which.
    if gDialogsMade == made then
        DebugOut("Script " .. file .. " built no window")
    end
    WaitForCloseMessage(id)
    local value = gReturnValue
    gReturnValue = nil
    return value
end

function ModalReturn(value)
    gReturnValue = value
end

function DisplaySplash(movie, image, time)
    local id = PushModal("DisplaySplash")
    inMovie = StartMovie(movie)
    local endTime = GetTimer() + time
    if not inMovie then
        local overlay = GetTag({}, "splashoverlay")
        if not overlay then
            overlay = Group({})
        end
        MakeDialog { Bitmap { name = "splashimage", image = image, overlay } }
        UpdateWindow()
        Pause(50)
        UpdateWindow()
        Pause(50)
    end
    if inMovie or ImageLoaded("splashimage") then
        while true do
            local m = WaitForMessage(100)
            if not inMovie and GetTimer() > endTime then
                break
            end
            if m then
                if m.type == kCloseWindow or (m.type == kModalClosed and m.name == id) or m.type == kPressAnyKey then
                    break
                end
            end
            if inMovie and not IsMoviePlaying() then
                break
            end
        end
    end
    if inMovie then
        StopMovie()
    end
    PopModal()
end

function FlushMessages()
    while true do
        local m, command = HandleGetMessage(1)
        if not m then
            break
        end
    end
    gCommandQueue = {}
    gMessageQueue = {}
end

function WaitForMessage(delay, deferQueue)
    local n = table.getn(gMessageQueue)
    if not deferQueue and n > 0 then
        message = gMessageQueue[n]
        table.remove(gMessageQueue)
        return message
    end
    local m, command = HandleGetMessage(delay)
    message = m
    if command then
        gYieldResult = command()
    elseif table.getn(gCommandQueue) > 0 then
        local queued = table.remove(gCommandQueue)
        gYieldResult = queued()
    end
    return m
end

function Yield()
    return coroutine.yield()
end

function ReadFile(file)
    return dofile("assets/" .. file)
end

function CloseWindow(value)
    PostMessage(CreateCloseMessage())
    if value then
        ModalReturn(value)
    end
end

function CustomCreator(s)
end

function GetString(id, p1, p2, p3, p4, p5)
    return _GetString(id, p1 or "", p2 or "", p3 or "", p4 or "", p5 or "")
end

function SetBitmap(name, image, scale)
    if scale == nil then
        scale = 1
    end
    _SetBitmap(name, image, scale)
end

function PopModal(value)
    if value then
        ModalReturn(value)
    end
    DoPopModal()
end

function SwapToModal(file)
    ClearModalChildren()
    ReadFile(file)
end

function DisplayDialog(t)
    local script = t[1]
    if not script or script == "" then
        DebugOut("DisplayDialog called with empty script; aborting")
        return
    end
    local id = PushModal(script)
    gDialogTable = t
    ReadFile(script)
    WaitForCloseMessage(id)
    local value = gReturnValue
    gReturnValue = nil
    return value
end

function SelectLayer(layer)
    return function() DoSelectLayer(layer) end
end

function Group(list)
    return function() MakeDialog(list) end
end

function Pause(time, waitForKey)
    if waitForKey == nil then
        waitForKey = false
    end
    local endTime = GetTimer() + time
    while GetTimer() < endTime do
        local m = WaitForMessage(endTime - GetTimer(), true)
        if m then
            if waitForKey and m.type == kPressAnyKey then
                return
            end
            table.insert(gMessageQueue, m)
        end
    end
end
