function intensity(x, y, z) { return 1000 + 10 * x + 100 * z; }
