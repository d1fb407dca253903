#include "engine/base/classregistry.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Shape {
    virtual ~Shape() = default;
    virtual int Sides() const = 0;
};

struct Square : Shape {
    int Sides() const override { return 4; }
    static Shape* SquareDynamicCreate() { return new Square; }
    static TClassId ClassId() { return MakeClassId(&SquareDynamicCreate); }
};

struct Triangle : Shape {
    int Sides() const override { return 3; }
    static Shape* TriangleDynamicCreate() { return new Triangle; }
    static TClassId ClassId() { return MakeClassId(&TriangleDynamicCreate); }
};

}  // namespace

TEST(ClassRegistry, CreatesFromPointerSizedIdentities)
{
    static_assert(sizeof(TClassId) == sizeof(void*));
    TClassRegistry<Shape>::Register(Square::ClassId(), &Square::SquareDynamicCreate);
    TClassRegistry<Shape>::Register(Triangle::ClassId(), &Triangle::TriangleDynamicCreate);
    EXPECT_NE(Square::ClassId(), Triangle::ClassId());
    std::unique_ptr<Shape> square(TClassRegistry<Shape>::CreateFromId(Square::ClassId()));
    std::unique_ptr<Shape> triangle(TClassRegistry<Shape>::CreateFromId(Triangle::ClassId()));
    ASSERT_TRUE(square && triangle);
    EXPECT_EQ(square->Sides(), 4);
    EXPECT_EQ(triangle->Sides(), 3);
    EXPECT_EQ(TClassRegistry<Shape>::CreateFromId(12345), nullptr);
    EXPECT_FALSE(TClassRegistry<Shape>::IsRegistered(12345));
}
