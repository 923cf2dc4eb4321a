// ellipse.js: an ellipse in data units (centre, radii, rotation in degrees), e.g. a confidence
// region over a scatter plot.
(function (lumo) {
  'use strict';


  lumo.def('Ellipse', 'Plotter', {
    default_z: lumo.kAnnotations,
    own_props: function () {
      return { cx: lumo.props.num(0), cy: lumo.props.num(0), rx: lumo.props.num(1, 0), ry: lumo.props.num(1, 0), angle: lumo.props.num(0) };
    },
    draw: function (painter) {
      var xs = this.plot.scales[0], ys = this.plot.scales[1];
      var p = this.p;
      // Screen y grows downward, so a counter-clockwise data angle turns clockwise on screen.
      var rad = p.angle * Math.PI / 180;
      var ax = p.rx * Math.cos(rad) * xs.get_scaling(), ay = p.rx * Math.sin(rad) * ys.get_scaling();
      var bx = -p.ry * Math.sin(rad) * xs.get_scaling(), by = p.ry * Math.cos(rad) * ys.get_scaling();
      var rxPix = Math.sqrt(ax * ax + ay * ay), ryPix = Math.sqrt(bx * bx + by * by);
      var screenAngle = Math.atan2(ay, ax) * 180 / Math.PI;
      painter.ellipse(xs.to_pix(p.cx), ys.to_pix(p.cy), rxPix, ryPix, screenAngle, this.style());
    }
  });
  lumo.register_plotter(['ellipse'], 'Ellipse');
})(lumo);
