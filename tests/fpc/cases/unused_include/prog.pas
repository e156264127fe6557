program prog;
{$mode objfpc}
uses
  Loud, Plain;

begin
  {$I body.inc}
end.
