// The bands against IEC 61260-1 in exact arithmetic (GMP): every exact
// mid-band frequency 1000 x G^(x/b) (odd b) or 1000 x G^((2x+1)/(2b)) (even
// b), G = 10^(3/10), is the double nearest it; every nominal one is the
// preferred number nearest it; and the bands a range takes are those whose
// exact mid-band lies in it, ends included, for ranges that start and end
// on, just inside and just outside mid-bands near 1 kHz, near 10 Hz and near
// the lowest and highest rate's frequency limit.
#include <gtest/gtest.h>
#include <gmpxx.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "plan/tone_frequencies.h"

namespace sweepwav {
namespace {

constexpr int kFractions[] = {1, 3, 6, 12, 24};

// The exponent of 10 of a mid-band: 3 + (3/10) x/b, or 3 + (3/10) (2x+1)/(2b).
mpq_class MidBandExponent(int b, int x) {
    mpq_class bands = b % 2 != 0 ? mpq_class(x, b) : mpq_class(2 * x + 1, 2 * b);
    bands.canonicalize();
    return 3 + mpq_class(3, 10) * bands;
}

// The sign of q - 10^e, exactly: q^d against 10^n for e = n/d.
int CompareWithMidBand(const mpq_class& q, const mpq_class& e) {
    const unsigned long d = e.get_den().get_ui();
    const long n = e.get_num().get_si();
    mpz_class left, right, ten;
    mpz_pow_ui(left.get_mpz_t(), q.get_num().get_mpz_t(), d);
    mpz_pow_ui(right.get_mpz_t(), q.get_den().get_mpz_t(), d);
    mpz_ui_pow_ui(ten.get_mpz_t(), 10, static_cast<unsigned long>(std::labs(n)));
    if (n >= 0) {
        right *= ten;
    } else {
        left *= ten;
    }
    return cmp(left, right);
}

// The double nearest 10^e: d, with the exact value strictly between the
// half-way points to its neighbours (or equal to d).
bool IsNearest(double d, const mpq_class& e) {
    if (CompareWithMidBand(mpq_class(d), e) == 0) return true;
    const mpq_class below = (mpq_class(std::nextafter(d, 0.0)) + mpq_class(d)) / 2;
    const mpq_class above = (mpq_class(d) + mpq_class(std::nextafter(d, 1e300))) / 2;
    return CompareWithMidBand(below, e) < 0 && CompareWithMidBand(above, e) > 0;
}

// One decade of the preferred numbers (ISO 3), in hundredths: R10 for octaves
// and thirds, R40 for 1/6 octaves, R80 for 1/12 octaves.
std::vector<int> PreferredNumbers(int b) {
    if (b == 6) {
        return {100, 106, 112, 118, 125, 132, 140, 150, 160, 170, 180, 190, 200, 212, 224, 236, 250, 265, 280, 300,
                315, 335, 355, 375, 400, 425, 450, 475, 500, 530, 560, 600, 630, 670, 710, 750, 800, 850, 900, 950};
    }
    if (b == 12) {
        return {100, 103, 106, 109, 112, 115, 118, 122, 125, 128, 132, 136, 140, 145, 150, 155, 160, 165, 170, 175,
                180, 185, 190, 195, 200, 206, 212, 218, 224, 230, 236, 243, 250, 258, 265, 272, 280, 290, 300, 307,
                315, 325, 335, 345, 355, 365, 375, 387, 400, 412, 425, 437, 450, 462, 475, 487, 500, 515, 530, 545,
                560, 580, 600, 615, 630, 650, 670, 690, 710, 730, 750, 775, 800, 825, 850, 875, 900, 925, 950, 975};
    }
    return {100, 125, 160, 200, 250, 315, 400, 500, 630, 800};
}

// The preferred number nearest a frequency, over the decades around it.
double NearestPreferred(int b, double f) {
    double best = 0;
    for (int decade = 0; decade <= 6; ++decade) {
        for (int hundredths : PreferredNumbers(b)) {
            const double p = hundredths * std::pow(10.0, decade - 2);
            if (std::abs(std::log(p / f)) < std::abs(std::log(best / f))) best = std::round(p * 100) / 100;
        }
    }
    return best;
}

// The bands of a fraction whose mid-bands lie from 5 Hz to 200 kHz.
struct Band {
    int x;
    mpq_class exponent;
};

const std::vector<Band>& BandsOf(int b) {
    static std::map<int, std::vector<Band>> known;
    std::vector<Band>& bands = known[b];
    if (!bands.empty()) return bands;
    for (int x = -20 * b; x <= 10 * b; ++x) {
        const mpq_class e = MidBandExponent(b, x);
        if (CompareWithMidBand(5, e) <= 0 && CompareWithMidBand(200000, e) >= 0) bands.push_back({x, e});
    }
    return bands;
}

TEST(BandTable, MidBandsAreTheNearestDoublesAndNominalsThePreferredNumbersNearest) {
    for (int b : kFractions) {
        for (const Band& band : BandsOf(b)) {
            SCOPED_TRACE(::testing::Message() << "1/" << b << " band " << band.x);
            const double exact = ExactMidBand(b, band.x);
            EXPECT_TRUE(IsNearest(exact, band.exponent)) << exact;
            EXPECT_EQ(HasNominalMidBands(b), b != 24);
            if (HasNominalMidBands(b)) {
                EXPECT_EQ(NominalMidBand(b, band.x), NearestPreferred(b, exact));
            }
        }
    }
}

// The bands from `from` to `to` (in thousandths of a Hz, as entries are
// used), by exact comparison of the entries with the mid-bands.
std::vector<double> ExpectedBands(int b, bool nominal, long from, long to) {
    mpq_class low(std::min(from, to), 1000), high(std::max(from, to), 1000);
    low.canonicalize();
    high.canonicalize();
    std::vector<double> bands;
    for (const Band& band : BandsOf(b)) {
        if (CompareWithMidBand(low, band.exponent) > 0 || CompareWithMidBand(high, band.exponent) < 0) continue;
        bands.push_back(nominal ? NominalMidBand(b, band.x) : ExactMidBand(b, band.x));
    }
    if (from > to) std::reverse(bands.begin(), bands.end());
    return bands;
}

TEST(BandTable, RangesTakeTheBandsWhoseExactMidBandTheyHold) {
    for (int b : kFractions) {
        const std::vector<Band> bands = BandsOf(b);
        // Mid-bands near 1 kHz, the lowest from 10 Hz, and the highest up to
        // each of the two limits (15680 and 94080 Hz).
        std::vector<double> anchors = {ExactMidBand(b, -1), ExactMidBand(b, 0), ExactMidBand(b, 1)};
        for (const double edge : {10.0, 15680.0, 94080.0}) {
            std::vector<double> around;
            for (const Band& band : bands) around.push_back(ExactMidBand(b, band.x));
            const auto above = std::lower_bound(around.begin(), around.end(), edge);
            anchors.push_back(edge == 10.0 ? *above : *(above - 1));
        }
        for (const double m : anchors) {
            const long on = std::lround(m * 1000);  // the mid-band as entries give it, to 3 decimals
            for (const long end : {on - 1, on, on + 1}) {
                for (const bool nominal : {false, true}) {
                    if (nominal && !HasNominalMidBands(b)) continue;
                    // Ranges that start at the anchor, end at it, and fall to it.
                    const long far = std::lround(m * 1300);
                    for (const auto& [from, to] : {std::pair{end, far}, {far / 2, end}, {far, end}}) {
                        SCOPED_TRACE(::testing::Message() << "1/" << b << (nominal ? " nominal" : "") << " from "
                                                          << from / 1000.0 << " to " << to / 1000.0);
                        EXPECT_EQ(BandCentres(b, nominal, from / 1000.0, to / 1000.0),
                                  ExpectedBands(b, nominal, from, to));
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace sweepwav
