error("the library fails")
