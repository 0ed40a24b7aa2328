#include "model/units.h"

namespace quorrel {

const QuantityUnit QUANTITY_UNITS[QUANTITY_UNIT_COUNT] = {
    {Q_X, "m"},   {Q_Y, "m"},     {Q_R, "m"},     {Q_DEG, "°"},   {Q_VX, "m/s"}, {Q_VY, "m/s"},
    {Q_V, "m/s"}, {Q_V_DEG, "°"}, {Q_AX, "m/s²"}, {Q_AY, "m/s²"}, {Q_A, "m/s²"}, {Q_A_DEG, "°"},
    {Q_FX, "N"},  {Q_FY, "N"},    {Q_F, "N"},     {Q_F_DEG, "°"},
};

const char* quantity_unit(std::int32_t code) {
    for (const QuantityUnit& q : QUANTITY_UNITS)
        if (q.code == code) return q.unit;
    return nullptr;
}

const char* reading_unit(const Measurement& r) {
    switch (r.type) {
        case MEASURE_DISTANCE:
            return "m";
        case MEASURE_ANGLE:
            return "°";
        case MEASURE_QUANTITY:
            return quantity_unit(r.quantity);
        default:
            return nullptr;
    }
}

}  // namespace quorrel
