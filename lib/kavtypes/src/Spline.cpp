#include <kavtypes/Spline.h>

#include <algorithm>
#include <cmath>

namespace kavtypes
{
    namespace
    {
        double wrapped(double t)
        {
            return t > 1.0 ? t - std::floor(t) : t;
        }
    } // namespace

    Spline::Spline() : precision(16), tension(0.5), closed(false), totalLength(0.0) {}

    int Spline::getPointCount() const
    {
        return std::max(0, points.size() - 2);
    }

    void Spline::build(const harray<Vector2>& controls, bool closed, Vector2 startTangent, Vector2 endTangent)
    {
        this->closed = closed;
        points.clear();
        int n = controls.size();
        if (n == 1)
        {
            // The guides of every other case would reach for a second point that does not exist.
            points.push_back(controls[0]);
            points.push_back(controls[0]);
            points.push_back(controls[0]);
        }
        else if (n > 1)
        {
            if (closed)
            {
                points.push_back(controls[n - 1]);
            }
            else if (startTangent.isZero())
            {
                points.push_back(controls[0]);
            }
            else
            {
                // With tension 0.5 the doubled tangent makes the curve leave p0 along exactly this tangent.
                points.push_back(controls[1] - startTangent * 2.0f);
            }
            points.insert(points.end(), controls.begin(), controls.end());
            if (closed)
            {
                // Two entries: the last segment runs back to p0 and joins the first one smoothly.
                points.push_back(controls[0]);
                points.push_back(controls[1]);
            }
            else if (endTangent.isZero())
            {
                points.push_back(controls[n - 1]);
            }
            else
            {
                points.push_back(controls[n - 2] + endTangent * 2.0f);
            }
        }
        rebuild();
    }

    void Spline::addPoint(Vector2 p)
    {
        points.push_back(p);
        if (points.size() > 2)
        {
            rebuild();
        }
    }

    void Spline::rebuild()
    {
        segmentLengths.clear();
        totalLength = 0.0;
        // Cleared in every case: a spline rebuilt without length must not keep serving the old curve.
        lengthTable.clear();
        int size = points.size();
        for (int i = 1; i <= size - 3; ++i)
        {
            double length = 0.0;
            Vector2 previous = evaluate(i, 0.0);
            for (int j = 1; j <= precision; ++j)
            {
                Vector2 current = evaluate(i, (double)j / precision);
                length += (current - previous).length();
                previous = current;
            }
            segmentLengths.push_back(length);
            totalLength += length;
        }
        if (totalLength > 0.0)
        {
            double cumulative = 0.0;
            for (int k = 0; k < segmentLengths.size(); ++k)
            {
                cumulative += segmentLengths[k];
                lengthTable.insert(std::make_pair(cumulative / totalLength, k));
            }
        }
    }

    Vector2 Spline::evaluate(int i, double u) const
    {
        int last = points.size() - 1;
        const Vector2& q0 = points[std::max(i - 1, 0)];
        const Vector2& q1 = points[i];
        const Vector2& q2 = points[i + 1];
        const Vector2& q3 = points[std::min(i + 2, last)];
        double s = tension;
        double u2 = u * u;
        double u3 = u2 * u;
        double b0 = s * (-u3 + 2.0 * u2 - u);
        double b1 = (2.0 - s) * u3 + (s - 3.0) * u2 + 1.0;
        double b2 = (s - 2.0) * u3 + (3.0 - 2.0 * s) * u2 + s * u;
        double b3 = s * u3 - s * u2;
        return Vector2((float)(q0.x * b0 + q1.x * b1 + q2.x * b2 + q3.x * b3),
                       (float)(q0.y * b0 + q1.y * b1 + q2.y * b2 + q3.y * b3));
    }

    Vector2 Spline::calcPosition(double t) const
    {
        // Without a curve point there is nothing to evaluate; this also covers a list grown by
        // addPoint that holds only guides so far.
        if (getPointCount() == 0)
        {
            return Vector2();
        }
        t = wrapped(t);
        double previousKey = 0.0;
        for (const auto& entry : lengthTable)
        {
            if (entry.first > t && t >= previousKey)
            {
                double u = (t - previousKey) / (entry.first - previousKey);
                return evaluate(entry.second + 1, u);
            }
            previousKey = entry.first;
        }
        // At or beyond the last key the parameter has come round to the start.
        return evaluate(1, 0.0);
    }

    Vector2 Spline::calcTangent(double t) const
    {
        if (getPointCount() == 0)
        {
            return Vector2();
        }
        t = wrapped(t);
        return (calcPosition(t + 0.01) - calcPosition(t)).normalised();
    }

    Vector2 Spline::calcNormal(double t) const
    {
        Vector2 tangent = calcTangent(wrapped(t));
        return Vector2(-tangent.y, tangent.x);
    }
} // namespace kavtypes
