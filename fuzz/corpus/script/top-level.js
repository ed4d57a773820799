for (;;) {}
function intensity() { return 1; }
