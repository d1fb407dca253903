local x = 0x1F & 3 | 4 << 2 >> 1 ^ 7
print(x)
