// Elementary functions that give the same bits on every IEEE-754 platform, within 1 ulp.
#pragma once

// Angles in radians. Each is computed with + - * / and sqrt alone, in double-double precision
// (about 100 bits) and rounded once at the end, so the result is the same wherever doubles
// round to nearest, whichever C library or fused multiply-add the machine has. Special values
// (zeros and their signs, infinities, NaN, domain errors) are those of C's functions.
double exactSin(double x);
double exactCos(double x);
double exactTan(double x);
double exactAsin(double x);
double exactAcos(double x);
double exactAtan(double x);
double exactAtan2(double y, double x);
double exactExp(double x);
double exactLog(double x);
double exactPow(double x, double y);
