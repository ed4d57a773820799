function intensity(x) { return /(a+)+b/.test('a'.repeat(40) + 'c') ? 1 : 0; }
