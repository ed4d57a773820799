#pragma once

// Tolerances shared by all geometry.
struct mfSpaceBase {
    // Length tolerance in metres below which two positions are the same.
    static double m_accuracy;
};
