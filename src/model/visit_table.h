// Calls a function with one of the thirteen element lists of the model, told
// by its table code, so code over every element table is written once.
#pragma once

#include "model/model.h"

namespace quorrel {

// Calls f with the element list of `table` (any of the thirteen); M is Model
// or const Model.
template <class M, class F>
decltype(auto) visit_table(M& m, int table, F&& f) {
    switch (table) {
        case T_Z:
            return f(m.Z);
        case T_M:
            return f(m.M);
        case T_E:
            return f(m.E);
        case T_EA:
            return f(m.EA);
        case T_BA:
            return f(m.BA);
        case T_TH:
            return f(m.TH);
        case T_E_TH:
            return f(m.E_TH);
        case T_TB:
            return f(m.TB);
        case T_CT:
            return f(m.CT);
        case T_SH:
            return f(m.SH);
        case T_E_SH:
            return f(m.E_SH);
        case T_GAN:
            return f(m.GAN);
        default:
            return f(m.E_GAN);
    }
}

}  // namespace quorrel
