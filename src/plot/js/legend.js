// legend.js: a movable box naming the data plotters with a sample of their line; entries may
// be given as names or as [name, colour] pairs, else they come from the plot's data plotters.
(function (lumo) {
  'use strict';

  lumo.def('Legend', 'Region', {
    own_props: function () {
      return lumo.merge(this.region_props(70, 5), { entries: lumo.prop('array', null, { nullable: true }) });
    },
    entries: function () {
      var given = this.p.entries;
      if (given) {
        var list = given instanceof lumo.PixArray ? given.values : given;
        return list.map(function (e, i) {
          if (Array.isArray(e)) return { name: String(e[0]), colour: lumo.colour(e[1], lumo.palette[i % lumo.palette.length]) };
          return { name: String(e), colour: lumo.palette[i % lumo.palette.length] };
        });
      }
      return this.plot.plotters.filter(function (pl) { return pl.is_data(); }).map(function (pl) {
        return { name: pl.p.name || pl.id, colour: pl.p.colour };
      });
    },
    lines: function () { return this.entries().map(function (e) { return e.name; }); },
    // Room for the line samples left of the names.
    indent: function () { return 22; },
    draw_content: function (painter, b) {
      lumo.cls('Region').prototype.draw_content.call(this, painter, b);
      var lineH = this.font_size() * 1.3;
      this.entries().forEach(function (e, i) {
        var y = 4 + lineH * (i + 0.5);
        painter.polyline([[6, y, 22, y]], { stroke: e.colour, width: 2 });
      });
    }
  });
  lumo.register_plotter(['legend'], 'Legend');
})(lumo);
