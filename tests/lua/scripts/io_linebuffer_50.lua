-- golden: 5.0's answers
-- io reads a line a buffer at a time with the C library's fgets, in pieces
-- of the C library's own buffer size (BUFSIZ, 8192 bytes here): a zero byte
-- ends what is kept of its piece, and a piece that holds no end of line
-- makes the line go on with the next piece.
local name = os.tmpname()
local f = assert(io.open(name, "wb"))
f:write("a", string.char(0), string.rep("b", 2000), "\n", "next\n", "tail\n")
f:close()
f = assert(io.open(name, "rb"))
local line = f:read("*l")
print(string.len(line), line)
print(f:read("*l"), f:read("*l"))
f:close()
local lines = {}
for l in io.lines(name) do table.insert(lines, l) end
print(table.getn(lines), lines[1], lines[2])
os.remove(name)
