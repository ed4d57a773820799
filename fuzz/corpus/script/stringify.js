function intensity(x) { return JSON.stringify(new Array(2e7).fill(12345678)).length; }
