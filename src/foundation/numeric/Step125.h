// Steps along 1, 2, 5, 10, 20, 50, ...: the values axis ranges and zoom factors snap to.
#pragma once

// Both store the next higher (inc) or lower (dec) value in *x and return it; x must be positive.
double inc125(double* x);
double dec125(double* x);
