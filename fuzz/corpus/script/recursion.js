function f(n) { return f(n + 1) + 1; }
function intensity(x) { return f(x); }
