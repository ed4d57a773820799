function intensity(x) { return new Array(5e7).join('ab').length; }
