program prog;

uses BetaLib, AlphaLib, ZetaLib;

begin
  Show(1);
end.
