// styles.js: the page's style sheet (buttons, error div, loading indicator, text regions) and
// the error div and loading indicator themselves.
(function (lumo) {
  'use strict';

  var sheet = [
    '.lumo-button { position: absolute; z-index: ' + lumo.kButtons + '; width: 18px; height: 18px; padding: 0;',
    '  font: 12px/16px sans-serif; text-align: center; color: #333; background: rgba(255,255,255,0.85);',
    '  border: 1px solid #aaa; border-radius: 3px; cursor: pointer; user-select: none; }',
    '.lumo-button:hover { background: #e8f0ff; border-color: #68a; }',
    '.lumo-button.lumo-disabled { color: #bbb; cursor: default; background: rgba(255,255,255,0.6); }',
    // As high as its message: the page's rule that every div fills its parent is not for it.
    '#lumo_error_div { position: absolute; left: 10%; width: 80%; z-index: ' + lumo.kErrorMsg + ';',
    '  height: auto; max-height: 60%; overflow-y: auto; box-sizing: border-box;',
    '  padding: 6px 10px; font: 12px sans-serif; color: #600; background: #fff4f4;',
    '  border: 1px solid #c88; border-top: none; border-radius: 0 0 4px 4px; cursor: pointer;',
    '  box-shadow: 2px 2px 4px rgba(0,0,0,0.3); }',
    '.lumo-throbber { position: absolute; left: 50%; top: 50%; width: 24px; height: 24px; margin: -12px;',
    '  z-index: ' + lumo.kLoadingThrobber + '; border: 3px solid #ccd; border-top-color: #558;',
    '  border-radius: 50%; animation: lumo-spin 0.8s linear infinite; }',
    '@keyframes lumo-spin { to { transform: rotate(360deg); } }',
    '.lumo-region-edit { position: absolute; z-index: ' + lumo.kButtons + '; font: 12px sans-serif; }'
  ].join('\n');

  lumo.install_styles = function (doc) {
    if (doc.getElementById('lumo_styles')) return;
    var st = doc.createElement('style');
    st.id = 'lumo_styles';
    st.appendChild(doc.createTextNode(sheet));
    (doc.head || doc.documentElement).appendChild(st);
  };

  // The error div starts above the element's top edge and slides down after 400 ms; a click
  // slides it away and removes it; a later message replaces the text of the one shown.
  lumo.show_error_div = function (element, html) {
    var $ = lumo.global.jQuery;
    var div = $(element).children('#lumo_error_div');
    if (div.length) { div.html(html); return; }
    div = $('<div id="lumo_error_div"></div>').html(html).appendTo(element);
    div.css('top', -(div.outerHeight() + 4) + 'px');
    div.delay(400).animate({ top: 0 }, 300);
    div.on('click', function () {
      div.stop(true).animate({ top: -(div.outerHeight() + 4) }, 300, function () { div.remove(); });
    });
  };
  lumo.hide_error_div = function (element) {
    lumo.global.jQuery(element).children('#lumo_error_div').remove();
  };

  lumo.show_throbber = function (element) {
    var $ = lumo.global.jQuery;
    if (!$(element).children('.lumo-throbber').length) $('<div class="lumo-throbber"></div>').appendTo(element);
  };
  lumo.hide_throbber = function (element) {
    lumo.global.jQuery(element).children('.lumo-throbber').remove();
  };

  // Cursor for a drag, from the host's resource names when it gives them, else the CSS one.
  lumo.drag_cursor = function (key, cssName) {
    var urls = lumo.resource_urls();
    return urls && typeof urls[key] === 'string' && urls[key] !== '' ? 'url(' + urls[key] + '), ' + cssName : cssName;
  };
  var resourceCache;
  lumo.resource_urls = function () {
    if (resourceCache === undefined) {
      var r = lumo.remote('ResourceURLs') || lumo.remote('resource_urls');
      resourceCache = r && typeof r === 'object' ? r : null;
    }
    return resourceCache;
  };
})(lumo);
