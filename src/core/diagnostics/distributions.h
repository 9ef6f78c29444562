#pragma once
// Quantiles and upper tails of Student's t, Fisher's F and chi-squared, from
// Boost.Math. Arguments outside a distribution (degrees of freedom below 1, a
// probability outside (0, 1)) throw std::domain_error; each diagnostic turns
// that into its reason instead of a number.

namespace valdex {

// The p quantile of Student's t with df degrees of freedom.
long double TQuantile(long double p, long double df);

// The p quantile of F with df1 and df2 degrees of freedom, and P(F > f).
long double FQuantile(long double p, long double df1, long double df2);
long double FUpperTail(long double f, long double df1, long double df2);

// The p quantile of chi-squared with df degrees of freedom, and P(X > x).
long double ChiSquaredQuantile(long double p, long double df);
long double ChiSquaredUpperTail(long double x, long double df);

} // namespace valdex
