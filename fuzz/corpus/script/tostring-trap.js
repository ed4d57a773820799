function intensity() { throw { toString() { for (;;) {} } }; }
