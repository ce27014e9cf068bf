#pragma once

#include <map>

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>

namespace kavtypes
{
    // A smooth curve through control points (a cardinal spline), read by the fraction of its arc length:
    // 0 is the start and the parameter runs along the curve at even speed towards 1.
    class Spline
    {
    public:
        Spline();

        // An empty list gives an empty spline and a single point a spline that stays on that point.
        // Zero tangents let the curve leave and arrive along its end segments.
        void build(const harray<Vector2>& points, bool closed, Vector2 startTangent, Vector2 endTangent);
        // The former trailing guide point becomes part of the curve and p the new trailing guide.
        void addPoint(Vector2 p);

        // Parameters above 1 wrap to their fractional part; 1 itself and anything the curve does not
        // reach (negative parameters) give the first point.
        Vector2 calcPosition(double t) const;
        Vector2 calcTangent(double t) const;
        Vector2 calcNormal(double t) const;

        double getLength() const { return totalLength; }
        int getPointCount() const;

    private:
        // The control points framed by one leading and one trailing guide point.
        harray<Vector2> points;
        int precision;
        double tension;
        bool closed;
        harray<double> segmentLengths;
        double totalLength;
        // Cumulative length of segments 0..k over the total length -> k.
        std::map<double, int> lengthTable;

        void rebuild();
        // Segment i runs from guided entry i to entry i + 1.
        Vector2 evaluate(int i, double u) const;
    };
} // namespace kavtypes
