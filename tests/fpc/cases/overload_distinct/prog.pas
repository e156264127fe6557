program prog;

uses ZetaLib, AlphaLib;

begin
  Show(1);
  Show('text');
end.
