-- The animation script library: the short verbs that animation scripts are
-- written with. Every interpreter a scripted animation makes runs this
-- first; the animation then publishes its native functions (SetCurrentFrame,
-- WaitLuaNextFrame, SpawnChild, ...), which these verbs call by name.

-- Milliseconds between two frames shown by `frames`.
local framerate = 16

-- The running fade: the current alpha, its change per frame shown and the
-- frames it has left.
alpha = 1
alphadelta = 0
alphacount = 0

function delay( ms )
	framerate = ms
end

function pause( ms )
	WaitLuaNextFrame( ms )
end

function showFrame()
	WaitLuaNextFrame( framerate )
end

function fadeout( numberOfFrames )
	alphadelta = -alpha / numberOfFrames
	alphacount = numberOfFrames
end

function fadein( numberOfFrames )
	alphadelta = ( 1 - alpha ) / numberOfFrames
	alphacount = numberOfFrames
end

function setAlpha( a )
	alpha = a
	SetAlpha( a )
end

-- Shows each frame of the list (numbered from 1) for one frame delay; a
-- fade in progress advances one step per frame shown.
function frames( framelist )
	count = table.getn( framelist )
	for i = 1, count do
		frame = framelist[i]
		if alphacount ~= 0 then
			alpha = alpha + alphadelta
			SetAlpha( alpha )
			alphacount = alphacount - 1
			if alphacount == 0 then
				alphadelta = 0
			end
		end
		SetCurrentFrame( frame - 1 )
		WaitLuaNextFrame( framerate )
	end
end

function loop( times, framelist )
	for i = 1, times do
		frames( framelist )
	end
end

function spin( startRPM, endRPM, time )
	if endRPM == nil then
		endRPM = startRPM
		time = 0
	elseif time == nil then
		time = 1
	end
	Spin( startRPM, endRPM, time )
end

-- spawn{ "file", anim = "Function", x = 0, y = 0, image = "", mask = "" }
function spawn( t )
	return SpawnChild( t[1], t.anim or "DoAnim", t.x or 0, t.y or 0, t.image or "", t.mask or "" )
end

-- Plays another animation in this interpreter: its texture replaces this
-- one's and its function runs inside the current coroutine, so its waits
-- are this coroutine's waits.
function run( t )
	local xmlToRun = t[1]
	local image = t.image or ""
	local mask = t.mask or ""
	local functionToRun = t.anim or "DoAnim"
	if Load( xmlToRun, image, mask ) then
		local script = GetScript() .. "; " .. functionToRun .. "()"
		local fn = loadstring( script )
		if fn ~= nil then
			fn()
		end
	end
end

function done()
	Done()
end

function halt()
	Halt()
end

function isPlaying( child )
	return ChildIsPlaying( child )
end

function endReferences()
end

function stopChildren()
	StopChildren()
end

function random( min, max )
	return Random( min, max )
end
