function intensity(x) { var a = [1]; for (;;) a = a.concat(a, a); }
