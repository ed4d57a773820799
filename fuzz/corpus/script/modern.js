const intensity = (x, y = 2, ...z) => [x, y, `${z.length}`.length];
