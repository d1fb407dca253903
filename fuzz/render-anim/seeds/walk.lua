function DoAnim()
    delay(80);
    frames{1,2,1,4};
end
