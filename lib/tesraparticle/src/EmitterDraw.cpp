#include <kavtypes/Matrix3.h>
#include <tesra/RenderSystem.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>

namespace tesraparticle
{
    void Emitter::draw(float x, float y)
    {
        this->_draw(x, y, nullptr);
    }

    void Emitter::draw(float x, float y, const tesra::Color& color)
    {
        this->_draw(x, y, &color);
    }

    void Emitter::_draw(float x, float y, const tesra::Color* color)
    {
        if (this->texture == nullptr || tesra::rendersys == nullptr)
        {
            return;
        }
        this->texture->load();
        float width = (float)this->texture->getWidth();
        float height = (float)this->texture->getHeight();
        int count = this->particles.size();
        int quads = 0;
        kavtypes::Matrix3 rotation;
        for (int n = 0; n < count && quads < this->limit; ++n)
        {
            Particle* p = this->particles[this->reverseRendering ? count - 1 - n : n];
            if (p->isDead() || p->color.a == 0)
            {
                continue;
            }
            float hw = p->size.x * width * p->scale * 0.5f;
            float hh = p->size.y * height * p->scale * 0.5f;
            kavtypes::Vector3 corners[4] = {
                kavtypes::Vector3(-hw, -hh, 0.0f), kavtypes::Vector3(hw, -hh, 0.0f),
                kavtypes::Vector3(-hw, hh, 0.0f), kavtypes::Vector3(hw, hh, 0.0f)};
            kavtypes::Vector3 center(p->position.x + x, p->position.y + y, 0.0f);
            if (p->angle != 0.0f)
            {
                rotation.setRotation(0.0f, 0.0f, -1.0f, p->angle);
                for (kavtypes::Vector3& corner : corners)
                {
                    corner = rotation.transform(corner);
                }
            }
            unsigned int packed = (color != nullptr ? p->color * *color : p->color).toUInt();
            static const int order[6] = {0, 1, 2, 1, 2, 3};
            tesra::ColoredTexturedVertex* v = &this->vertices[quads * 6];
            for (int i = 0; i < 6; ++i)
            {
                const kavtypes::Vector3& corner = corners[order[i]];
                v[i].x = corner.x + center.x;
                v[i].y = corner.y + center.y;
                v[i].z = 0.0f;
                v[i].color = packed;
            }
            ++quads;
        }
        if (quads > 0)
        {
            tesra::rendersys->setTexture(this->texture);
            tesra::rendersys->setTextureBlendMode(this->blendMode);
            tesra::rendersys->setTextureColorMode(this->colorMode, this->colorModeFactor);
            tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_LIST, this->vertices.data(), quads * 6);
        }
    }
} // namespace tesraparticle
