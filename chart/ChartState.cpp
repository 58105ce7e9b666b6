#include "chart/ChartState.h"

PEColor ChartLook::subsetColor(int subset) const
{
    if (subset >= 0 && size_t(subset) < subsetColors.size())
        return subsetColors[size_t(subset)];
    return PEargb(255, 0, 0, 198);
}

int ChartLook::subsetLineType(int subset) const
{
    if (subset >= 0 && size_t(subset) < subsetLineTypes.size())
        return subsetLineTypes[size_t(subset)];
    return PELT_THINSOLID;
}

ChartState chartTemplateOf(const ChartState &state)
{
    ChartState look;
    look.look = state.look;
    return look;
}

GraphAnnotation *ChartState::annotationForWrite(int n)
{
    if (n < 0 || n >= kMaxGraphAnnotations)
        return nullptr;
    if (size_t(n) >= annotations.size())
        annotations.resize(size_t(n) + 1);
    return &annotations[size_t(n)];
}

const GraphAnnotation &ChartState::annotation(int n) const
{
    static const GraphAnnotation none;
    if (n < 0 || size_t(n) >= annotations.size())
        return none;
    return annotations[size_t(n)];
}
