#include "diagnostics/distributions.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/complement.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

namespace valdex {

long double TQuantile(long double p, long double df) {
    return boost::math::quantile(boost::math::students_t_distribution<long double>(df), p);
}

long double FQuantile(long double p, long double df1, long double df2) {
    return boost::math::quantile(boost::math::fisher_f_distribution<long double>(df1, df2), p);
}

long double FUpperTail(long double f, long double df1, long double df2) {
    return boost::math::cdf(
        boost::math::complement(boost::math::fisher_f_distribution<long double>(df1, df2), f));
}

long double ChiSquaredQuantile(long double p, long double df) {
    return boost::math::quantile(boost::math::chi_squared_distribution<long double>(df), p);
}

long double ChiSquaredUpperTail(long double x, long double df) {
    return boost::math::cdf(
        boost::math::complement(boost::math::chi_squared_distribution<long double>(df), x));
}

} // namespace valdex
