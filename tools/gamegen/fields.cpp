#include "tools/gamegen/fields.h"

#include <algorithm>
#include <cstdlib>

namespace velmora::gamegen {

Field key(const std::string& name, const std::string& pool)
{
    Field f;
    f.kind = FieldKind::Key;
    f.name = name;
    f.pool = pool;
    return f;
}

Field same(const std::string& name, const std::string& pool)
{
    Field f = key(name, pool);
    f.kind = FieldKind::Same;
    return f;
}

Field ref(const std::string& name, const std::string& pool, int none_percent)
{
    Field f = key(name, pool);
    f.kind = FieldKind::Ref;
    f.percent = none_percent;
    return f;
}

Field key_text(const std::string& name, const std::string& prefix, const std::string& suffix)
{
    Field f;
    f.kind = FieldKind::KeyText;
    f.name = name;
    f.text = prefix;
    f.suffix = suffix;
    return f;
}

Field num(const std::string& name, int lo, int hi, int zero_percent)
{
    Field f;
    f.kind = FieldKind::Int;
    f.name = name;
    f.lo = lo;
    f.hi = hi;
    f.percent = zero_percent;
    return f;
}

Field flag(const std::string& name, int true_percent)
{
    Field f;
    f.kind = FieldKind::Bool;
    f.name = name;
    f.percent = true_percent;
    return f;
}

Field real(const std::string& name, int lo, int hi)
{
    Field f = num(name, lo, hi);
    f.kind = FieldKind::Float;
    return f;
}

Field fixed(const std::string& name, const std::string& text)
{
    Field f;
    f.kind = FieldKind::Const;
    f.name = name;
    f.text = text;
    return f;
}

Field art(const std::string& name, const std::string& pattern)
{
    Field f = fixed(name, pattern);
    f.kind = FieldKind::Art;
    return f;
}

Field list(const std::string& name, const std::string& item, int length, int lo, int hi, int empty_percent)
{
    Field f = num(name, lo, hi, empty_percent);
    f.kind = FieldKind::List;
    f.item = item;
    f.min = f.max = length;
    return f;
}

Field set(const std::string& name, const std::string& item, const std::string& pool, int min, int max,
    int pad_percent)
{
    Field f = key(name, pool);
    f.kind = FieldKind::Set;
    f.item = item;
    f.min = min;
    f.max = max;
    f.percent = pad_percent;
    return f;
}

Field all(const std::string& name, const std::string& item, const std::string& pool)
{
    return set(name, item, pool, -1, -1);
}

Field pairs(const std::string& container, const std::string& item, const std::string& key_name,
    const std::string& pool, const std::string& value_name, int lo, int hi, int min, int max)
{
    Field value = value_name[0] == 'b' ? fixed(value_name, "1") : num(value_name, lo, hi);
    return records(container, item, min, max, {key(key_name, pool), value});
}

Field records(
    const std::string& container, const std::string& item, int min, int max, std::vector<Field> fields)
{
    Field f;
    f.kind = FieldKind::Records;
    f.name = container;
    f.item = item;
    f.min = min;
    f.max = max;
    f.fields = std::move(fields);
    return f;
}

Field table(
    const std::string& container, const std::string& item, const std::string& pool, std::vector<Field> fields)
{
    Field f = records(container, item, 0, 0, std::move(fields));
    f.pool = pool;
    return f;
}

Field object(const std::string& name, std::vector<Field> fields)
{
    Field f;
    f.kind = FieldKind::Object;
    f.name = name;
    f.fields = std::move(fields);
    return f;
}

Field one_of(std::vector<Field> choices)
{
    Field f;
    f.kind = FieldKind::OneOf;
    f.fields = std::move(choices);
    return f;
}

Field sparse(Field f, int empty_percent)
{
    f.empty = empty_percent;
    return f;
}

Field optional(Field f, int absent_percent)
{
    f.absent = absent_percent;
    return f;
}

std::string decimal_text(int hundredths)
{
    std::string sign = hundredths < 0 ? "-" : "";
    int v = std::abs(hundredths);
    std::string frac = std::to_string(100 + v % 100).substr(1);
    if (frac[1] == '0')
        frac.erase(1);
    return sign + std::to_string(v / 100) + "." + frac;
}

namespace {

// Where a record stands: its key and its position in its pool.
struct Context {
    const World& world;
    Rng& rng;
    std::string key;
    int index = 0;
};

void build(XmlNode& parent, const Field& f, Context& ctx);

std::string art_path(const std::string& pattern, const std::string& key)
{
    std::string name = camel_name(key), out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "{}") == 0) {
            out += name;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

// n distinct positions in a pool of size, in pool order.
std::vector<int> distinct_indices(Rng& rng, int size, int n)
{
    n = std::min(n, size);
    std::vector<int> out;
    for (int attempts = 0; static_cast<int>(out.size()) < n && attempts < 50 * n; ++attempts) {
        int i = rng.range(0, size - 1);
        if (std::find(out.begin(), out.end(), i) == out.end())
            out.push_back(i);
    }
    std::sort(out.begin(), out.end());
    return out;
}

const Field* key_field(const std::vector<Field>& fields)
{
    for (const auto& f : fields)
        if (f.kind == FieldKind::Key)
            return &f;
    return nullptr;
}

void build_record(XmlNode& parent, const Field& f, Context& ctx, int index)
{
    Context inner{ctx.world, ctx.rng, ctx.key, index};
    const Field* k = key_field(f.fields);
    if (!f.pool.empty() || k)
        inner.key = ctx.world.pool(f.pool.empty() ? k->pool : f.pool)[static_cast<std::size_t>(index)];
    XmlNode& record = parent.add(f.item);
    for (const auto& sub : f.fields)
        build(record, sub, inner);
}

void build_records(XmlNode& parent, const Field& f, Context& ctx)
{
    XmlNode& holder = f.name.empty() ? parent : parent.add(f.name);
    if (!f.pool.empty()) {
        int n = static_cast<int>(ctx.world.pool(f.pool).size());
        holder.children.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            build_record(holder, f, ctx, i);
        return;
    }
    int n = ctx.rng.chance(f.empty) ? 0 : ctx.rng.range(f.min, f.max);
    if (const Field* k = key_field(f.fields)) {
        for (int i : distinct_indices(ctx.rng, static_cast<int>(ctx.world.pool(k->pool).size()), n))
            build_record(holder, f, ctx, i);
    } else {
        for (int i = 0; i < n; ++i)
            build_record(holder, f, ctx, ctx.index);
    }
}

void build_set(XmlNode& parent, const Field& f, Context& ctx)
{
    XmlNode& set = parent.add(f.name);
    const auto& pool = ctx.world.pool(f.pool);
    if (f.min < 0) {
        for (const auto& name : pool)
            set.add(f.item, name);
        return;
    }
    int n = ctx.rng.chance(f.empty) ? 0 : ctx.rng.range(f.min, f.max);
    for (int i : distinct_indices(ctx.rng, static_cast<int>(pool.size()), n))
        set.add(f.item, pool[static_cast<std::size_t>(i)]);
    if (!set.children.empty() && ctx.rng.chance(f.percent))
        while (static_cast<int>(set.children.size()) < f.max)
            set.add(f.item, "NONE");
}

void build(XmlNode& parent, const Field& f, Context& ctx)
{
    Rng& rng = ctx.rng;
    if (f.absent && rng.chance(f.absent))
        return;
    switch (f.kind) {
    case FieldKind::Key:
        parent.add(f.name, ctx.key);
        break;
    case FieldKind::Same: {
        const auto& pool = ctx.world.pool(f.pool);
        parent.add(f.name, pool[static_cast<std::size_t>(ctx.index) % pool.size()]);
        break;
    }
    case FieldKind::Ref:
        parent.add(f.name, rng.chance(f.percent) ? std::string("NONE") : rng.pick(ctx.world.pool(f.pool)));
        break;
    case FieldKind::KeyText:
        parent.add(f.name, f.text + ctx.key + f.suffix);
        break;
    case FieldKind::Int:
        parent.add(f.name, std::to_string(rng.chance(f.percent) ? 0 : rng.range(f.lo, f.hi)));
        break;
    case FieldKind::Bool:
        parent.add(f.name, rng.chance(f.percent) ? "1" : "0");
        break;
    case FieldKind::Float:
        parent.add(f.name, decimal_text(rng.range(f.lo, f.hi)));
        break;
    case FieldKind::Const:
        parent.add(f.name, f.text);
        break;
    case FieldKind::Art:
        parent.add(f.name, art_path(f.text, ctx.key));
        break;
    case FieldKind::List: {
        XmlNode& list = parent.add(f.name);
        if (!rng.chance(f.percent))
            for (int i = 0; i < f.min; ++i)
                list.add(f.item, std::to_string(rng.range(f.lo, f.hi)));
        break;
    }
    case FieldKind::Set:
        build_set(parent, f, ctx);
        break;
    case FieldKind::Records:
        build_records(parent, f, ctx);
        break;
    case FieldKind::OneOf:
        build(parent, f.fields[rng.index(f.fields.size())], ctx);
        break;
    case FieldKind::Object: {
        XmlNode& object = parent.add(f.name);
        for (const auto& sub : f.fields)
            build(object, sub, ctx);
        break;
    }
    }
}

} // namespace

void build_fields(XmlNode& parent, const std::vector<Field>& fields, const World& world, Rng& rng)
{
    Context ctx{world, rng, std::string(), 0};
    for (const auto& f : fields)
        build(parent, f, ctx);
}

} // namespace velmora::gamegen
